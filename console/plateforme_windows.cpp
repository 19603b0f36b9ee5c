// The window on Windows.
#include "plateforme.h"

#include <QFont>
#include <QSettings>
#include <QStandardPaths>

namespace {

// The group of Qt's file dialog in the QtProject settings.
constexpr QLatin1StringView groupe_dialogue{"FileDialog"};

} // namespace

std::filesystem::path dossier_journaux() {
    // GenericDataLocation's first entry is %LOCALAPPDATA% on Windows.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return std::filesystem::path((base + QStringLiteral("/velmora/journaux")).toStdU16String());
}

bool aucune_locale_choisie() {
    return false;
}

void substitue_polices() {
    // Windows has Arial; the narrow face and the display face come with office suites only.
    // Without them: Windows 10's own condensed face, then Arial, and a bold geometric face.
    QFont::insertSubstitutions("Arial Narrow",
                               {"Bahnschrift Condensed", "Liberation Sans Narrow", "Arial"});
    QFont::insertSubstitutions("Bauhaus 93", {"Bahnschrift", "Segoe UI Black", "Arial"});
}

Treglages_dialogue garde_reglages_dialogue() {
    QSettings qt_projet(QSettings::UserScope, QStringLiteral("QtProject"));
    qt_projet.beginGroup(groupe_dialogue);
    Treglages_dialogue avant;
    for (const QString& cle : qt_projet.allKeys())
        avant.emplace_back(cle, qt_projet.value(cle));
    return avant;
}

void rend_reglages_dialogue(const Treglages_dialogue& avant) {
    QSettings qt_projet(QSettings::UserScope, QStringLiteral("QtProject"));
    qt_projet.remove(groupe_dialogue);
    qt_projet.beginGroup(groupe_dialogue);
    for (const auto& [cle, valeur] : avant)
        qt_projet.setValue(cle, valeur);
}
