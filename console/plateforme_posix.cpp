// The window on Linux (and any POSIX desktop).
#include "plateforme.h"

#include <QDir>
#include <QFont>

#include <cstdlib>

std::filesystem::path dossier_journaux() {
    // The XDG state folder: what a program keeps between runs that is not the user's data.
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return std::filesystem::path((base + QStringLiteral("/velmora/journaux")).toStdU16String());
}

bool aucune_locale_choisie() {
    // The variables the C library itself consults for numbers, in its order.
    for (const char* nom : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* v = std::getenv(nom);
        if (v == nullptr || *v == '\0') continue;
        const QString valeur = QString::fromLocal8Bit(v);
        return valeur == "C" || valeur == "POSIX" || valeur.startsWith("C.");
    }
    return true;
}

void substitue_polices() {
    // By metric-compatible or look-alike faces of a Debian desktop.
    QFont::insertSubstitutions("Arial", {"Liberation Sans", "Arimo", "DejaVu Sans"});
    QFont::insertSubstitutions(
        "Arial Narrow", {"Liberation Sans Narrow", "Nimbus Sans Narrow", "DejaVu Sans Condensed"});
    QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Bauhaus 93", {"URW Gothic", "DejaVu Sans", "Liberation Sans"});
}

// The settings are files, which the dialog's own folder holds: nothing of the user's to keep.
Treglages_dialogue garde_reglages_dialogue() {
    return {};
}

void rend_reglages_dialogue(const Treglages_dialogue&) {}
