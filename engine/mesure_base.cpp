// A calibration measured on the organiser's base: the revolutions between the two marks, the
// pair for the base's length, put in service as a choice in ETAL would.
#include "avant_depart.h"
#include "conversions.h"
#include "moteur.h"

namespace {

const std::string texte_valeurs_erronees = "Les valeurs semblent erronnées !";

std::string avec_signe(std::int64_t v, int decimales) {
    return (v > 0 ? "+" : "") + texte_decimal(v, decimales);
}

std::string texte_tours(std::int64_t n) {
    return std::to_string(n) + (n > 1 || n < -1 ? " tours" : " tour");
}

std::string texte_base(const Tlongueur_base& b) {
    return texte_decimal(b.valeur, b.decimales) + " m";
}

} // namespace

void Tmoteur::mesure_departClick() {
    etat.mesure_en_cours = true;
    etat.tours_au_depart_mesure = etat.tours_de_roue;
    etat.tours_mesures = 0;
    la_tours_mesures.ecrit_texte(texte_tours(0));
    la_etat_mesure.ecrit_texte("Mesure en cours : au second repère, cliquez ARRIVÉE.");
    calcule_mesure();
}

void Tmoteur::mesure_arriveeClick() {
    if (!etat.mesure_en_cours) return;
    etat.mesure_en_cours = false;
    la_etat_mesure.ecrit_texte("Mesure arrêtée : tapez la longueur de la base.");
    calcule_mesure();
}

void Tmoteur::compte_tour_mesure() {
    if (!etat.mesure_en_cours) return;
    etat.tours_mesures = etat.tours_de_roue - etat.tours_au_depart_mesure;
    la_tours_mesures.ecrit_texte(texte_tours(etat.tours_mesures));
}

void Tmoteur::calcule_mesure() {
    const auto base = lit_longueur_base(ed_base_mesure.texte());
    const auto paire = base ? paire_de_base(etat.tours_mesures, *base) : std::nullopt;
    if (etat.mesure_en_cours || !paire) {
        la_paire_mesuree.ecrit_texte(etat.mesure_en_cours || etat.tours_mesures == 0 ? ""
                                     : etat.tours_mesures < 0
                                         ? "Moins de tours qu'au départ : la voiture a reculé "
                                           "plus qu'elle n'a avancé. Recommencez la mesure."
                                         : "Longueur de la base en mètres : 1000 ou 1234,5");
        la_ecart_mesure.ecrit_texte("");
        la_resolution_mesure.ecrit_texte("");
        la_verif_mesure.ecrit_texte("");
        return;
    }
    la_paire_mesuree.ecrit_texte("Étalonnage " + cb_num_etal.texte() + " : " +
                                 std::to_string(paire->tours) + " Trs pour " +
                                 std::to_string(paire->metres) + " m");
    const auto ecart = ecart_dixiemes_pour_mille({etat.tours_etal, etat.dist_etal}, *paire);
    la_ecart_mesure.ecrit_texte(ecart ? avec_signe(*ecart, 1) +
                                            " ‰ par rapport à l'étalonnage en service (" +
                                            std::to_string(etat.tours_etal) + " Trs pour " +
                                            std::to_string(etat.dist_etal) + " m)"
                                      : "Aucun étalonnage en service à comparer");
    // One revolution in millimetres, and in hundredths of per mille of the base; both rounded.
    const std::int64_t tours = etat.tours_mesures;
    const std::int64_t mm = tour_de_roue_mm(tours, *base);
    const std::int64_t centiemes_pm = (100'000 + tours / 2) / tours;
    la_resolution_mesure.ecrit_texte("Un tour de roue = " + texte_decimal(mm, 3) + " m, soit " +
                                     texte_decimal(centiemes_pm, 2) + " ‰ de la base");
    if (!longueur_base_plausible(*base))
        la_verif_mesure.ecrit_texte("Une base de " + texte_base(*base) +
                                    " ? Une base mesure de 100 m à 100 km : vérifiez la longueur.");
    else if (!roue_plausible(*paire))
        la_verif_mesure.ecrit_texte(texte_valeurs_erronees);
    else
        la_verif_mesure.ecrit_texte("Tour de roue de " + texte_decimal(mm, 1) + " cm");
}

std::optional<Tmoteur::Tpaire_a_enregistrer> Tmoteur::paire_mesuree_valide() {
    if (etat.mesure_en_cours) {
        services.message("La mesure est en cours : cliquez ARRIVÉE au second repère.");
        return std::nullopt;
    }
    if (etat.tours_mesures <= 0) {
        services.message("Aucun tour de roue mesuré : cliquez DÉPART au premier repère de la "
                         "base, roulez, puis ARRIVÉE au second.");
        return std::nullopt;
    }
    const auto base = lit_longueur_base(ed_base_mesure.texte());
    const auto paire = base ? paire_de_base(etat.tours_mesures, *base) : std::nullopt;
    if (!paire) {
        services.message("'" + ed_base_mesure.texte() +
                         "' n'est pas une longueur de base : tapez des mètres, par exemple 1000 "
                         "ou 1234,5");
        return std::nullopt;
    }
    const auto emplacement = entier_depuis_texte(cb_num_etal.texte());
    if (!emplacement || *emplacement < 1 || *emplacement > 3) {
        services.message("Choisissez dans ETAL l'étalonnage 1, 2 ou 3 à remplacer.");
        return std::nullopt;
    }
    // "1.000" is one metre to the program, a thousand to many crews: asked, not guessed.
    if (!longueur_base_plausible(*base) &&
        !services.question("La base mesure " + texte_base(*base) + " pour " +
                               texte_tours(etat.tours_mesures) +
                               " ? Une base mesure de 100 m à 100 km : vérifiez la longueur "
                               "tapée (pour mille mètres, tapez 1000).",
                           "Utiliser quand même", "Annuler"))
        return std::nullopt;
    return Tpaire_a_enregistrer{*emplacement, *paire};
}

void Tmoteur::applique_paire_mesuree(const Tpaire_a_enregistrer& p, bool avertit) {
    // As a choice in ETAL leaves it: the pair in service, the panel's texts, no correction.
    etat.num_etal = p.emplacement;
    etat.tours_etal = p.paire.tours;
    etat.dist_etal = p.paire.metres;
    lb_tours_roue.ecrit_texte(std::to_string(p.paire.tours) + " Trs");
    lb_dist_etal.ecrit_texte(std::to_string(p.paire.metres) + " m");
    etalonnage_en_service(avertit);
    calcule_mesure();
}

void Tmoteur::mesure_appliquerClick() {
    const auto p = paire_mesuree_valide();
    if (p) applique_paire_mesuree(*p, true);
}

void Tmoteur::mesure_enregistrerClick() {
    const auto p = paire_mesuree_valide();
    if (!p) return;
    // A pair the wheel cannot make is written into the file only on the crew's word.
    if (!roue_plausible(p->paire) &&
        !services.question(
            texte_valeurs_erronees + " " + std::to_string(p->paire.tours) + " Trs pour " +
                std::to_string(p->paire.metres) + " m donnent un tour de roue de " +
                texte_decimal(tour_de_roue_mm(p->paire.tours, {p->paire.metres, 0}), 1) +
                " cm, hors de 135 à 220 cm. L'enregistrer quand même dans "
                "etalonnage.txt ?",
            "Enregistrer quand même", "Annuler"))
        return;
    applique_paire_mesuree(*p, false);
    paire_a_enregistrer = p;
}
