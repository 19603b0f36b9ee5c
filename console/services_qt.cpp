#include "services_qt.h"

#include "dialogue_fichier.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTime>

#include <cstdlib>

bool aucune_locale_choisie() {
#ifdef Q_OS_WIN
    // Windows always has the user's regional settings.
    return false;
#endif
    // The variables the C library itself consults for numbers, in its order.
    for (const char* nom : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* v = std::getenv(nom);
        if (v == nullptr || *v == '\0') continue;
        const QString valeur = QString::fromLocal8Bit(v);
        return valeur == "C" || valeur == "POSIX" || valeur.startsWith("C.");
    }
    return true;
}

namespace {

Theure_du_jour horloge_reelle() {
    const QTime t = QTime::currentTime();
    return {t.hour(), t.minute(), t.second(), t.msec()};
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

Theure_du_jour Tservices_qt::heure() {
    return horloge ? horloge() : horloge_reelle();
}

std::string Tservices_qt::heure_format_long() {
    Theure_du_jour h = heure();
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
