#include "services_enregistres.h"

#include "texte_journal.h"

Tenregistreur* Tservices_enregistres::actif() const {
    return enregistreur && enregistreur->enregistre() ? enregistreur : nullptr;
}

void Tservices_enregistres::message(const std::string& texte) {
    Tenregistreur* e = actif();
    if (e) {
        e->ligne() += "boite ";
        ajoute_texte(e->ligne(), texte);
        e->fin_ligne();
        e->boite_ouverte();
    }
    reels_.message(texte);
    if (e) {
        e->boite_fermee();
        if (actif()) {
            e->ligne() += "fin-boite";
            e->fin_ligne();
        }
    }
}

Theure_du_jour Tservices_enregistres::heure() {
    const Theure_du_jour h = reels_.heure();
    if (Tenregistreur* e = actif()) {
        std::string& l = e->ligne();
        l += "heure ";
        l += std::to_string(h.heures);
        l += ' ';
        l += std::to_string(h.minutes);
        l += ' ';
        l += std::to_string(h.secondes);
        l += ' ';
        l += std::to_string(h.millisecondes);
        e->fin_ligne();
        e->heure_donnee(h);
    }
    return h;
}

namespace {

std::string texte_enregistre(Tenregistreur* e, const char* cle, std::string t) {
    if (e) {
        e->ligne() += cle;
        ajoute_texte(e->ligne(), t);
        e->fin_ligne();
    }
    return t;
}

} // namespace

std::string Tservices_enregistres::heure_format_long() {
    return texte_enregistre(actif(), "heure-texte ", reels_.heure_format_long());
}

std::string Tservices_enregistres::separateur_decimal() {
    return texte_enregistre(actif(), "separateur ", reels_.separateur_decimal());
}

std::string Tservices_enregistres::repertoire_executable() {
    return texte_enregistre(actif(), "repertoire ", reels_.repertoire_executable());
}

std::optional<std::string> Tservices_enregistres::choisit_fichier() {
    Tenregistreur* e = actif();
    if (e) {
        e->ligne() += "dialogue";
        e->fin_ligne();
        e->boite_ouverte();
    }
    auto nom = reels_.choisit_fichier();
    if (e) {
        e->boite_fermee();
        if (actif()) {
            e->ligne() += "fin-dialogue";
            if (nom) {
                e->ligne() += ' ';
                ajoute_texte(e->ligne(), *nom);
            }
            e->fin_ligne();
        }
    }
    return nom;
}

std::optional<std::vector<std::string>>
Tservices_enregistres::lit_fichier(const std::string& chemin, Tfins_de_ligne fins,
                                   std::size_t nbr_lignes) {
    auto lignes = reels_.lit_fichier(chemin, fins, nbr_lignes);
    if (Tenregistreur* e = actif()) {
        std::string& l = e->ligne();
        l += fins == Tfins_de_ligne::etalonnage ? "fichier etalonnage " : "fichier rallye ";
        l += std::to_string(nbr_lignes);
        l += ' ';
        ajoute_texte(l, chemin);
        if (!lignes) {
            l += " absent";
        } else {
            l += " lu";
            for (const std::string& ligne : *lignes) {
                l += ' ';
                ajoute_texte(l, ligne);
            }
        }
        e->fin_ligne();
    }
    return lignes;
}
