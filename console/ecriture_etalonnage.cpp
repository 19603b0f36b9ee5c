#include "ecriture_etalonnage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString echec(const QString& chemin, const QString& raison) {
    return "L'étalonnage n'est pas enregistré dans " + chemin + " : " + raison +
           ". Le fichier n'a pas changé ; l'étalonnage mesuré sert quand même pour ce parcours.";
}

} // namespace

std::optional<QString> enregistre_etalonnage(const QString& chemin, int emplacement,
                                             Tpaire_etalonnage paire) {
    QByteArray ancien;
    const QFileInfo info(chemin);
    if (info.exists()) {
        if (!(info.permissions() & QFileDevice::WriteOwner) || !info.isWritable())
            return echec(chemin, "le fichier est en lecture seule (ou vous n'avez pas le droit "
                                 "de l'écrire)");
        QFile f(chemin);
        if (!f.open(QIODevice::ReadOnly)) return echec(chemin, "le fichier ne peut pas être lu");
        ancien = f.readAll();
    }
    const std::string nouveau = remplace_emplacement(
        std::string_view(ancien.constData(), static_cast<std::size_t>(ancien.size())), emplacement,
        paire);
    // Written beside it, flushed to the disk, then renamed over it: a cut or a full disk
    // leaves the old file whole.
    QSaveFile s(chemin);
    if (!s.open(QIODevice::WriteOnly))
        return echec(chemin, "son dossier ne peut pas être écrit (droits, disque)");
    const auto taille = static_cast<qint64>(nouveau.size());
    if (s.write(nouveau.data(), taille) != taille || !s.commit())
        return echec(chemin, "l'écriture a échoué (disque plein ?)");
    return std::nullopt;
}
