#include "services_enregistres.h"

#include "horloges_journal.h"
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

bool Tservices_enregistres::question(const std::string& texte, const std::string& oui,
                                     const std::string& non) {
    Tenregistreur* e = actif();
    if (e) {
        std::string& l = e->ligne();
        l += "question ";
        ajoute_texte(l, texte);
        l += ' ';
        ajoute_texte(l, oui);
        l += ' ';
        ajoute_texte(l, non);
        e->fin_ligne();
        e->boite_ouverte();
    }
    const bool r = reels_.question(texte, oui, non);
    if (e) {
        e->boite_fermee();
        if (actif()) {
            e->ligne() += r ? "fin-question 1" : "fin-question 0";
            e->fin_ligne();
        }
    }
    return r;
}

Thorloges Tservices_enregistres::horloges() {
    const Thorloges h = reels_.horloges();
    if (Tenregistreur* e = actif()) {
        std::string& l = e->ligne();
        l += "heure ";
        ajoute_heure(l, h.ordinateur);
        l += ' ';
        l += std::to_string(h.compteur_ms);
        e->fin_ligne();
    }
    return h;
}

std::string Tservices_enregistres::heure_format_long(const Theure_du_jour& h) {
    std::string t = reels_.heure_format_long(h);
    if (Tenregistreur* e = actif()) {
        std::string& l = e->ligne();
        l += "heure-texte ";
        ajoute_heure(l, h);
        l += ' ';
        ajoute_texte(l, t);
        e->fin_ligne();
    }
    return t;
}

void Tservices_enregistres::saut_horloge(const Tsaut_horloge& s) {
    reels_.saut_horloge(s);
    if (Tenregistreur* e = actif()) {
        std::string& l = e->ligne();
        l += "saut-horloge ";
        l += std::to_string(s.saut_ms);
        l += ' ';
        l += mot_suite_saut(s.suite);
        e->fin_ligne();
    }
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
