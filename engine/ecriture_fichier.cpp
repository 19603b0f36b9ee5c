#include "ecriture_fichier.h"

#include "ecriture_fichier_systeme.h"
#include "texte_affichable.h"

namespace {

// Writes reach the system in blocks: a PDF's thousands of small writes cost one call each.
constexpr std::size_t taille_tampon = 1 << 16;

} // namespace

Tecriture_fichier::Tecriture_fichier(std::string chemin, std::vector<std::string> lus,
                                     bool sortie_standard_permise)
    : chemin_(std::move(chemin)), lus_(std::move(lus)),
      sortie_standard_(sortie_standard_permise && chemin_ == "-") {}

Tecriture_fichier::~Tecriture_fichier() = default;

bool Tecriture_fichier::echoue(std::string raison) {
    if (!en_echec_) {
        raison_ = std::move(raison);
        if (existait_) raison_ += " ; l'ancien fichier est inchangé";
    }
    en_echec_ = true;
    systeme_.reset(); // removes the temporary file
    return false;
}

bool Tecriture_fichier::ouvre() {
    std::string raison = "le nom est vide";
    if (!sortie_standard_ && chemin_.empty()) return echoue(raison);
    systeme_ = sortie_standard_ ? ouvre_sortie_standard()
                                : ouvre_ecriture(chemin_, lus_, existait_, raison);
    if (!systeme_) {
        existait_ = false; // nothing was touched, whether or not there was a file
        return echoue(raison);
    }
    tampon_.reserve(taille_tampon);
    return true;
}

bool Tecriture_fichier::vide_tampon() {
    if (en_echec_ || !systeme_) return false;
    std::string raison;
    if (!tampon_.empty() && !systeme_->ecrit(tampon_, raison))
        return echoue("l'écriture a échoué : " + raison);
    tampon_.clear();
    return true;
}

bool Tecriture_fichier::ecrit(std::string_view octets) {
    if (en_echec_ || !systeme_) return false;
    if (tampon_.size() + octets.size() > taille_tampon) {
        if (!vide_tampon()) return false;
        if (octets.size() >= taille_tampon) {
            std::string raison;
            if (!systeme_->ecrit(octets, raison)) return echoue("l'écriture a échoué : " + raison);
            return true;
        }
    }
    tampon_.append(octets);
    return true;
}

bool Tecriture_fichier::acheve() {
    if (!vide_tampon()) return false;
    std::string raison;
    if (!systeme_->acheve(raison)) return echoue("l'écriture a échoué : " + raison);
    return true;
}

bool Tecriture_fichier::met_en_place() {
    if (en_echec_ || !systeme_) return false;
    std::string raison;
    if (!systeme_->met_en_place(raison)) return echoue(raison);
    systeme_.reset();
    return true;
}

std::string Tecriture_fichier::message() const {
    if (sortie_standard_) return "Impossible d'écrire sur la sortie standard : " + raison_;
    return "Impossible d'écrire le fichier " + texte_affichable(chemin_) + " : " + raison_;
}

std::optional<std::string> ecrit_fichier_entier(const std::string& chemin, std::string_view contenu,
                                                const std::vector<std::string>& lus) {
    Tecriture_fichier f(chemin, lus);
    if (f.ouvre() && f.ecrit(contenu) && f.termine()) return std::nullopt;
    return f.message();
}
