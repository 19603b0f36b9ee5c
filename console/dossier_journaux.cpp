#include "dossier_journaux.h"

#include <QDir>
#include <QStandardPaths>
#include <QString>

std::filesystem::path dossier_journaux() {
#ifdef _WIN32
    // GenericDataLocation's first entry is %LOCALAPPDATA% on Windows.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#else
    // The XDG state folder: what a program keeps between runs that is not the user's data.
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
#endif
    return std::filesystem::path((base + QStringLiteral("/velmora/journaux")).toStdU16String());
}
