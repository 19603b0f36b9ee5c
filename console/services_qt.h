#pragma once
// The platform services of the engine, from Qt: the modal message box, the
// clock, the user's number and time conventions, the executable's directory
// and the file-open dialog.

#include "services.h"

#include <QLocale>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>

// The conventions the program follows: the user's own locale, or the French
// ones when the user has chosen none (C or POSIX, or nothing set).
QLocale locale_utilisateur();
// The locale's long time format without its time-zone part: "HH:mm:ss" in French.
QString format_heure_long(const QLocale& locale);

class Tservices_qt : public Iservices {
public:
    Tservices_qt();

    // The computer's clock; the real one unless a test replaces it. A replaced clock's
    // counter follows it, unless the test gives one of its own.
    std::function<Theure_du_jour()> horloge;
    std::function<std::int64_t()> compteur;
    // Parent of the boxes and the dialog (the main window once it exists).
    QPointer<QWidget> parent;

    void message(const std::string& texte) override;
    bool question(const std::string& texte, const std::string& oui,
                  const std::string& non) override;
    Thorloges horloges() override;
    std::string heure_format_long(const Theure_du_jour& h) override;
    std::string separateur_decimal() override;
    std::string repertoire_executable() override;
    std::optional<std::string> choisit_fichier() override;

private:
    QLocale locale_;
    // The long format, and the last text it gave: the clock asks ten times a second for a
    // text that changes once, and QLocale's formatting costs more than the rest of a tick.
    QString format_long_;
    bool format_long_millisecondes_ = false;
    Theure_du_jour heure_formatee_{-1, -1, -1, -1};
    std::string texte_formate_;
    Tcompteur_suivant compteur_suivant_;
    // Where the last rally file was chosen, for the next choice of this run only.
    QString dossier_;
};
