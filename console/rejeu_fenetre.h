#pragma once
// A journal played back in the real window, at a chosen multiple of real time: the crew's
// own input is ignored until the end, and the title says so.

#include "fiche_mere.h"
#include "lecture_journal.h"
#include "rejeu.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QObject>

#include <memory>
#include <string>
#include <vector>

class QApplication;

class Tlecteur_fenetre : public QObject {
public:
    // `fiche` runs on `rejeu`'s services and HID operations, in replay mode.
    Tlecteur_fenetre(Tfiche_mere& fiche, Trejeu& rejeu, const std::string& nom, double vitesse);
    ~Tlecteur_fenetre() override;

    // Plays the whole journal, painting the window as it goes; returns at its end, at a
    // divergence, or once the window is closed.
    void joue();

protected:
    bool eventFilter(QObject* objet, QEvent* e) override;

private:
    void attend(std::int64_t temps_ms);

    Tfiche_mere& fiche_;
    Trejeu& rejeu_;
    QString titre_, fichier_;
    double vitesse_;
    QElapsedTimer horloge_, peinture_;
    std::int64_t origine_ = -1;
    std::vector<std::unique_ptr<QMessageBox>> boites_;
};

// Runs until the window is closed; the program's exit status: 1 when the replay met a
// divergence, 3 when it compared no checkpoint, 0 otherwise.
int rejoue_dans_la_fenetre(QApplication& app, const Tjournal& journal, const std::string& nom,
                           double vitesse);
