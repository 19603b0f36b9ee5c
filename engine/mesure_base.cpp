// A calibration measured on the organiser's base: the revolutions between the two marks, the
// pair for the base's length, put in service as a choice in ETAL would; and the official time.
#include "avant_depart.h"
#include "conversions.h"
#include "moteur.h"

namespace {

const std::string texte_valeurs_erronees = "Les valeurs semblent erronnées !";
constexpr std::int64_t circonference_min_cm = 135;
constexpr std::int64_t circonference_max_cm = 220;
constexpr std::int64_t ms_par_jour = 86'400'000;

std::string avec_signe(std::int64_t v, int decimales) {
    return (v > 0 ? "+" : "") + texte_decimal(v, decimales);
}

} // namespace

void Tmoteur::mesure_departClick() {
    etat.mesure_en_cours = true;
    etat.tours_au_depart_mesure = etat.tours_de_roue;
    etat.tours_mesures = 0;
    la_tours_mesures.ecrit_texte("0 tour");
    la_etat_mesure.ecrit_texte("Mesure en cours : au second repère, cliquez ARRIVÉE.");
    calcule_mesure();
}

void Tmoteur::mesure_arriveeClick() {
    if (!etat.mesure_en_cours) return;
    etat.mesure_en_cours = false;
    la_etat_mesure.ecrit_texte("Mesure arrêtée : tapez la longueur de la base.");
    calcule_mesure();
}

void Tmoteur::calcule_mesure() {
    const auto base = lit_longueur_base(ed_base_mesure.texte());
    const auto paire = base ? paire_de_base(etat.tours_mesures, *base) : std::nullopt;
    if (etat.mesure_en_cours || !paire) {
        la_paire_mesuree.ecrit_texte(etat.mesure_en_cours || etat.tours_mesures == 0
                                         ? ""
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
    // One revolution in millimetres of the base, and in hundredths of per mille of it.
    const std::int64_t tours = etat.tours_mesures;
    std::int64_t diviseur = tours;
    for (int d = 0; d < base->decimales; ++d)
        diviseur *= 10;
    const std::int64_t mm = (base->valeur * 1000 + diviseur / 2) / diviseur;
    const std::int64_t centiemes_pm = (100'000 + tours / 2) / tours;
    la_resolution_mesure.ecrit_texte("Un tour de roue = " + texte_decimal(mm, 3) + " m, soit " +
                                     texte_decimal(centiemes_pm, 2) + " ‰ de la base");
    const std::int64_t circonference = std::int64_t{paire->metres} * 100 / paire->tours;
    la_verif_mesure.ecrit_texte(circonference < circonference_min_cm ||
                                        circonference > circonference_max_cm
                                    ? texte_valeurs_erronees
                                    : "Tour de roue de " + std::to_string(circonference) + " cm");
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
    return Tpaire_a_enregistrer{*emplacement, *paire};
}

void Tmoteur::mesure_appliquerClick() {
    const auto p = paire_mesuree_valide();
    if (!p) return;
    // As a choice in ETAL leaves it: the pair in service, the panel's texts, no correction.
    etat.num_etal = p->emplacement;
    etat.tours_etal = p->paire.tours;
    etat.dist_etal = p->paire.metres;
    lb_tours_roue.ecrit_texte(std::to_string(p->paire.tours) + " Trs");
    lb_dist_etal.ecrit_texte(std::to_string(p->paire.metres) + " m");
    etalonnage_en_service();
    calcule_mesure();
}

void Tmoteur::mesure_enregistrerClick() {
    const auto p = paire_mesuree_valide();
    if (!p) return;
    mesure_appliquerClick();
    paire_a_enregistrer = p;
}

Theure_du_jour Tmoteur::heure_officielle() {
    Theure_du_jour h = services.heure();
    if (etat.decalage_officiel == 0) return h;
    std::int64_t ms = std::int64_t{h.heures} * 3'600'000 + std::int64_t{h.minutes} * 60'000 +
                      std::int64_t{h.secondes} * 1000 + h.millisecondes +
                      std::int64_t{etat.decalage_officiel} * 100;
    ms = (ms % ms_par_jour + ms_par_jour) % ms_par_jour;
    h.heures = static_cast<std::int32_t>(ms / 3'600'000);
    h.minutes = static_cast<std::int32_t>(ms / 60'000 % 60);
    h.secondes = static_cast<std::int32_t>(ms / 1000 % 60);
    h.millisecondes = static_cast<std::int32_t>(ms % 1000);
    return h;
}

namespace {

// A zone whose start has passed with the cadenceur on: CADEN would jump by the change.
bool zone_en_cours(const Tmoteur& m) {
    return m.cad_on.coche() && m.etat.dixiemes_ecoules > 0;
}

const std::string texte_zone_en_cours =
    "Une zone est en cours : l'heure officielle ne change pas pendant une zone, CADEN "
    "sauterait d'autant. Décochez ON pour la changer.";

} // namespace

void Tmoteur::valid_heure_officielleClick() {
    if (zone_en_cours(*this)) {
        services.message(texte_zone_en_cours);
        return;
    }
    const Theure_du_jour h = services.heure();
    const std::int64_t maintenant_ms = std::int64_t{h.heures} * 3'600'000 +
                                       std::int64_t{h.minutes} * 60'000 +
                                       std::int64_t{h.secondes} * 1000 + h.millisecondes;
    const auto d = decalage_officiel(ed_heure_officielle.texte(), maintenant_ms);
    if (!d) {
        services.message("'" + ed_heure_officielle.texte() +
                         "' : tapez l'heure officielle à la minute ronde (10:15) au moment où "
                         "l'horloge officielle la montre, ou le décalage en secondes (-2,3).");
        return;
    }
    etat.decalage_officiel = *d;
    la_decalage_officiel.ecrit_texte(*d == 0 ? "Heure officielle = heure de l'ordinateur."
                                             : "Heure officielle = heure de l'ordinateur " +
                                                   avec_signe(*d, 1) + " s");
}

void Tmoteur::raz_heure_officielleClick() {
    if (zone_en_cours(*this)) {
        services.message(texte_zone_en_cours);
        return;
    }
    etat.decalage_officiel = 0;
    ed_heure_officielle.ecrit_texte("");
    la_decalage_officiel.ecrit_texte("Heure de l'ordinateur, sans décalage.");
}
