#include "ecriture_etalonnage.h"

#include "ecriture_fichier.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString echec(const QString& chemin, const std::string& raison) {
    return "L'étalonnage n'est pas enregistré dans " + chemin + " : " +
           QString::fromStdString(raison) +
           ". Le fichier n'a pas changé ; l'étalonnage mesuré sert quand même pour ce parcours.";
}

} // namespace

std::optional<QString> enregistre_etalonnage(const QString& chemin, int emplacement,
                                             Tpaire_etalonnage paire) {
    QByteArray ancien;
    if (QFileInfo(chemin).isFile()) {
        QFile f(chemin);
        if (!f.open(QIODevice::ReadOnly)) return echec(chemin, "le fichier ne peut pas être lu");
        ancien = f.readAll();
    }
    const std::string nouveau = remplace_emplacement(
        std::string_view(ancien.constData(), static_cast<std::size_t>(ancien.size())), emplacement,
        paire);
    // The one checked way: written beside it, made durable, then renamed over it (through a
    // link, over the file it leads to); a cut or a full disk leaves the old file whole.
    Tecriture_fichier f(chemin.toStdString());
    if (f.ouvre() && f.ecrit(nouveau) && f.termine()) return std::nullopt;
    std::string raison = f.raison();
    // The text says already that the file did not change.
    const std::string inchange = " ; l'ancien fichier est inchangé";
    if (raison.ends_with(inchange)) raison.erase(raison.size() - inchange.size());
    return echec(chemin, raison);
}
