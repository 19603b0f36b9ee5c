#include "ecriture_entiere.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const std::string creation_impossible =
    "il ne peut pas être créé (dossier absent ou protégé en écriture)";
const std::string ecriture_echouee = "l'écriture a échoué (disque plein ?)";
const std::string remplacement_impossible = "l'ancien fichier ne peut pas être remplacé";

// Qt's writers do not look at what a write returns: this one remembers any write that
// did not take every byte.
class Tsortie_verifiee : public QIODevice {
public:
    explicit Tsortie_verifiee(QFileDevice& fichier) : fichier_(fichier) {
        open(QIODevice::WriteOnly);
    }
    bool echec() const { return echec_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* octets, qint64 taille) override {
        if (echec_ || fichier_.write(octets, taille) != taille) {
            echec_ = true;
            return -1;
        }
        return taille;
    }

private:
    QFileDevice& fichier_;
    bool echec_ = false;
};

std::optional<std::string> ecrit_dans(QFileDevice& fichier,
                                      const std::function<bool(QIODevice&)>& ecrit) {
    Tsortie_verifiee sortie(fichier);
    // A buffered write may fail only when the rest is flushed.
    if (!ecrit(sortie) || sortie.echec() || !fichier.flush()) return ecriture_echouee;
    return std::nullopt;
}

} // namespace

std::optional<std::string> ecrit_fichier_entier(const std::string& chemin,
                                                const std::function<bool(QIODevice&)>& ecrit) {
    const QString nom = QString::fromStdString(chemin);
    const QFileInfo existant(nom);
    if (existant.exists() && !existant.isFile()) {
        // Renaming over a device would replace it with a plain file.
        QFile fichier(nom);
        if (!fichier.open(QIODevice::WriteOnly)) return creation_impossible;
        auto echec = ecrit_dans(fichier, ecrit);
        fichier.close();
        if (!echec && fichier.error() != QFileDevice::NoError) echec = ecriture_echouee;
        return echec;
    }
    const std::string intact = existant.exists() ? " ; l'ancien fichier est inchangé" : "";
    QSaveFile fichier(nom);
    if (!fichier.open(QIODevice::WriteOnly)) return creation_impossible;
    if (const auto echec = ecrit_dans(fichier, ecrit)) {
        fichier.cancelWriting();
        fichier.commit(); // discards what was written
        return *echec + intact;
    }
    if (!fichier.commit())
        return (fichier.error() == QFileDevice::RenameError ? remplacement_impossible
                                                            : ecriture_echouee) +
               intact;
    return std::nullopt;
}
