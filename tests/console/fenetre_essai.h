#pragma once
// The real window under a test's control: a clock the test sets, a file dialog
// that answers what the test says, and every message box recorded and closed.

#include "apparence.h"
#include "fiche_mere.h"
#include "hid_scripte.h"
#include "services_qt.h"

#include <QApplication>
#include <QColor>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Qt's glyph cache as the program sets it, before the test's application is made.
inline const bool cache_glyphes_reserve = (reserve_cache_glyphes(), true);

class Tservices_essai : public Tservices_qt {
public:
    Theure_du_jour temps{10, 0, 0, 0};
    std::string repertoire; // empty: beside the test program, where the build put etalonnage.txt
    std::optional<std::string> separateur;
    std::deque<std::optional<std::string>> fichiers;

    Tservices_essai() {
        horloge = [this] { return temps; };
        compteur = [this] { return suivant_.suit(ms_du_jour(temps)) - saute_ms_; };
    }
    // The computer's clock set by `ms`: the rally clock's counter does not move.
    void saute(std::int64_t ms) {
        temps = heure_de_ms(ms_du_jour(temps) + ms);
        suivant_.suit(ms_du_jour(temps));
        saute_ms_ += ms;
    }
    std::string repertoire_executable() override {
        return repertoire.empty() ? Tservices_qt::repertoire_executable() : repertoire;
    }
    std::string separateur_decimal() override {
        return separateur ? *separateur : Tservices_qt::separateur_decimal();
    }
    std::optional<std::string> choisit_fichier() override {
        if (fichiers.empty()) return std::nullopt;
        auto f = fichiers.front();
        fichiers.pop_front();
        return f;
    }

private:
    Tcompteur_suivant suivant_;
    std::int64_t saute_ms_ = 0;
};

// Closes every message box as soon as it shows, keeping its text; `pendant`
// runs first, inside the box's own event loop.
class Tferme_boites {
public:
    std::vector<QString> textes;
    std::function<void(QMessageBox*)> pendant;

    Tferme_boites() {
        minuterie_.setInterval(10);
        QObject::connect(&minuterie_, &QTimer::timeout, [this] { ferme(); });
        minuterie_.start();
    }

private:
    QTimer minuterie_;
    bool occupe_ = false;
    void ferme() {
        if (occupe_) return;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* boite = qobject_cast<QMessageBox*>(w);
            if (boite == nullptr || !boite->isVisible()) continue;
            occupe_ = true;
            textes.push_back(boite->text());
            if (pendant) pendant(boite);
            boite->accept();
            occupe_ = false;
        }
    }
};

// A window with its services and scripted box, set up as the program starts it.
struct Tfenetre_essai {
    Tferme_boites boites;
    Tservices_essai services;
    Thid_scripte hid;
    Tmode_fiche mode; // given to the window as it opens
    std::unique_ptr<Tfiche_mere> fiche;

    explicit Tfenetre_essai(Theure_du_jour depart = {10, 0, 0, 0},
                            const std::function<void(Tfenetre_essai&)>& reglage = {}) {
        services.temps = depart;
        if (reglage) reglage(*this);
        fiche = std::make_unique<Tfiche_mere>(services, hid, std::move(mode));
    }

    template <class T = QWidget> T* controle(const char* nom) const {
        return fiche->findChild<T*>(QString::fromLatin1(nom));
    }
    QString texte(const char* nom) const { return controle<QLabel>(nom)->text(); }
    QColor fond(const char* nom) const { return controle(nom)->palette().color(QPalette::Window); }
    bool montre(const char* nom) const { return !controle(nom)->isHidden(); }
};
