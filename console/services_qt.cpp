#include "services_qt.h"

#include "compteur_rallye.h"
#include "dialogue_fichier.h"
#include "plateforme.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTime>

namespace {

// The two clocks read as one instant: read again where the thread lost the processor between
// them (the counter moved more than a millisecond around the computer's clock).
Thorloges horloges_reelles() {
    Thorloges h;
    for (int essai = 0; essai < 3; ++essai) {
        h.compteur_ms = compteur_rallye_ms();
        const QTime t = QTime::currentTime();
        h.ordinateur = {t.hour(), t.minute(), t.second(), t.msec()};
        if (compteur_rallye_ms() - h.compteur_ms <= 1) break;
    }
    return h;
}

} // namespace

QLocale locale_utilisateur() {
    return aucune_locale_choisie() ? QLocale(QLocale::French, QLocale::France) : QLocale::system();
}

QString format_heure_long(const QLocale& locale) {
    // Drops the time-zone letters (t, tt, ...) outside quoted text, then the blanks they leave.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString sans_fuseau;
    bool entre_guillemets = false;
    for (const QChar c : format) {
        if (c == u'\'') entre_guillemets = !entre_guillemets;
        if (!entre_guillemets && c == u't') continue;
        sans_fuseau += c;
    }
    return sans_fuseau.simplified();
}

Tservices_qt::Tservices_qt()
    : locale_(locale_utilisateur()), format_long_(format_heure_long(locale_)) {
    // Milliseconds ('z') outside quoted text make every instant a text of its own.
    bool entre_guillemets = false;
    for (const QChar c : format_long_) {
        if (c == u'\'') entre_guillemets = !entre_guillemets;
        if (!entre_guillemets && c == u'z') format_long_millisecondes_ = true;
    }
}

void Tservices_qt::message(const std::string& texte) {
    QMessageBox boite(QMessageBox::NoIcon, QCoreApplication::applicationName(),
                      QString::fromStdString(texte), QMessageBox::Ok, parent.data());
    boite.exec();
}

bool Tservices_qt::question(const std::string& texte, const std::string& oui,
                            const std::string& non) {
    QMessageBox boite(QMessageBox::Question, QCoreApplication::applicationName(),
                      QString::fromStdString(texte), QMessageBox::NoButton, parent.data());
    QPushButton* b_oui = boite.addButton(QString::fromStdString(oui), QMessageBox::AcceptRole);
    QPushButton* b_non = boite.addButton(QString::fromStdString(non), QMessageBox::RejectRole);
    // Enter or a stray key takes the careful answer.
    boite.setDefaultButton(b_non);
    boite.setEscapeButton(b_non);
    boite.exec();
    return boite.clickedButton() == b_oui;
}

Thorloges Tservices_qt::horloges() {
    if (!horloge) return horloges_reelles();
    const Theure_du_jour h = horloge();
    return {compteur ? compteur() : compteur_suivant_.suit(ms_du_jour(h)), h};
}

std::string Tservices_qt::heure_format_long(const Theure_du_jour& heure) {
    Theure_du_jour h = heure;
    // Without them in the format, a valid instant's milliseconds change nothing.
    if (!format_long_millisecondes_ && h.millisecondes >= 0 && h.millisecondes <= 999)
        h.millisecondes = 0;
    if (h.heures != heure_formatee_.heures || h.minutes != heure_formatee_.minutes ||
        h.secondes != heure_formatee_.secondes ||
        h.millisecondes != heure_formatee_.millisecondes) {
        const QTime t(h.heures, h.minutes, h.secondes, h.millisecondes);
        texte_formate_ = locale_.toString(t, format_long_).toStdString();
        heure_formatee_ = h;
    }
    return texte_formate_;
}

std::string Tservices_qt::separateur_decimal() {
    return QString(locale_.decimalPoint()).toStdString();
}

std::string Tservices_qt::repertoire_executable() {
    return (QCoreApplication::applicationDirPath() + "/").toStdString();
}

std::optional<std::string> Tservices_qt::choisit_fichier() {
    const QString nom = demande_fichier(parent.data(), dossier_);
    if (nom.isEmpty()) return std::nullopt;
    dossier_ = QFileInfo(nom).absolutePath();
    return nom.toStdString();
}
