// The remote keypad: the trip entry, the red-button trip update, +2 m / -2 m and
// the calibration correction keys.
#include "conversions.h"
#include "format_pourcentage.h"
#include "moteur.h"

#include <cstdint>
#include <string>

namespace {

const std::string entree_vide = "............";
const std::string texte_erreur_saisie = "ERREUR de SAISIE";

// Digits allowed on each side of the comma.
constexpr std::int32_t chiffres_max = 3;

enum : std::int32_t {
    touche_virgule = 10,
    touche_effacer = 11,
    touche_plus_2 = 12,
    touche_moins_2 = 13,
    touche_plus_pourcent = 14,
    touche_moins_pourcent = 15,
    touche_bouton_rouge = 16,
};

} // namespace

void Tmoteur::mise_a_jour_trip_clavier() {
    const std::int32_t t = etat.touche;
    if (t == touche_effacer) {
        etat.saisie_maj.clear();
        la_maj_trip.ecrit_texte(entree_vide);
        etat.virgule_saisie = false;
        etat.nbr_chiffres_avant = 0;
        etat.nbr_chiffres_apres = 0;
    } else if (t == touche_virgule) {
        if (!etat.virgule_saisie) {
            etat.saisie_maj += ",";
            la_maj_trip.ecrit_texte(etat.saisie_maj);
            etat.virgule_saisie = true;
        }
    } else if (t >= 0 && t <= 9) {
        std::int32_t& compte =
            etat.virgule_saisie ? etat.nbr_chiffres_apres : etat.nbr_chiffres_avant;
        if (compte < chiffres_max) {
            etat.saisie_maj += std::to_string(t);
            la_maj_trip.ecrit_texte(etat.saisie_maj);
            ++compte;
        }
    } else if (t == touche_plus_pourcent) {
        pas_etalonnage(+1);
    } else if (t == touche_moins_pourcent) {
        pas_etalonnage(-1);
    } else if (t == touche_plus_2) {
        ajoute_2_metres();
    } else if (t == touche_moins_2) {
        enleve_2_metres();
    } else if (t == touche_bouton_rouge) {
        mise_a_jour_totaliseur();
    }
}

void Tmoteur::mise_a_jour_totaliseur() {
    // The label, not saisie_maj, is what the crew sees and what is applied: after a
    // failed update it reads "0" and the next press loads 0 m.
    const std::string texte = la_maj_trip.texte();
    if (texte != entree_vide) {
        // Exact thousandths from the digits: "0,001" is 1 m, not 0 m through a binary real.
        const auto metres =
            milliemes_depuis_texte(texte, services.separateur_decimal(), Tforme_decimale::saisie);
        if (!metres) {
            services.message(texte_erreur_saisie);
            etat.saisie_maj.clear();
            la_maj_trip.ecrit_texte("0");
        } else {
            etat.valeur_saisie_m = *metres;
            const std::int32_t total = etat.compteur_total.valeur_en_metres();
            const std::int32_t partiel = etat.compteur_partiel.valeur_en_metres();
            // Both sides lie in 0 .. 2^31-1, so the difference fits.
            etat.ecart_maj = etat.valeur_saisie_m - total;
            la_ecart_maj.ecrit_texte(std::to_string(etat.ecart_maj));
            if (partiel != 0) {
                etat.pourcentage_maj = static_cast<double>(etat.ecart_maj) * 1000.0 / partiel;
                la_pourcent.ecrit_texte(texte_correction_relative(etat.ecart_maj, partiel,
                                                                  services.separateur_decimal()));
            }
            etat.compteur_total.charge_metres(etat.valeur_saisie_m);
            etat.compteur_total.affiche_chiffres(labels_total);
            la_maj_trip.ecrit_texte(entree_vide);
            etat.saisie_maj.clear();
            etat.virgule_saisie = false;
            etat.nbr_chiffres_avant = 0;
            etat.nbr_chiffres_apres = 0;
        }
    }
    raz_partiel();
}
