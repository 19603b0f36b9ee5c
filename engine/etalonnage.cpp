// Calibration store: etalonnage.txt read into Memo_copie, the calibration chosen
// in cb_num_etal, its plausibility as a wheel circumference, and the correction steps.
#include "avant_depart.h"
#include "conversions.h"
#include "lecture_lignes.h"
#include "moteur.h"

#include <cstdint>
#include <limits>
#include <string>

namespace {

const std::string texte_fichier_absent = "Le fichier ETALONNAGE est inexistant ... Creez-le !!!";
const std::string texte_valeurs_erronees = "Les valeurs semblent erronnées !";

std::int32_t sature(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

} // namespace

bool Tmoteur::lit_fichier_etalonnage() {
    Memo_copie.efface();
    chemin_etalonnage = services.repertoire_executable() + "etalonnage.txt";
    auto lignes =
        services.lit_fichier(chemin_etalonnage, Tfins_de_ligne::etalonnage, nbr_lignes_max);
    if (!lignes) {
        services.message(texte_fichier_absent);
        return false;
    }
    Memo_copie.ecrit_lignes(std::move(*lignes));
    return true;
}

void Tmoteur::lecture_etalonnage_demarrage() {
    if (!lit_fichier_etalonnage()) return;
    // Each assignment stands on its own: a line that fails leaves the earlier ones done.
    etat.tours_etal = convertit_entier(Memo_copie.ligne(0));
    etat.dist_etal = convertit_entier(Memo_copie.ligne(1));
    etat.pas_correction = 1;
    lb_dist_etal.ecrit_texte(Memo_copie.ligne(1) + " m");
    lb_tours_roue.ecrit_texte(Memo_copie.ligne(0) + " Trs");
}

void Tmoteur::lire_donnee_etalonnage() {
    if (!lit_fichier_etalonnage()) return;
    etat.num_etal = convertit_entier(cb_num_etal.texte());
    if (etat.num_etal >= 1 && etat.num_etal <= 3) {
        const std::size_t ligne_tours = static_cast<std::size_t>(2 * etat.num_etal - 2);
        etat.tours_etal = convertit_entier(Memo_copie.ligne(ligne_tours));
        etat.dist_etal = convertit_entier(Memo_copie.ligne(ligne_tours + 1));
        lb_tours_roue.ecrit_texte(Memo_copie.ligne(ligne_tours) + " Trs");
        lb_dist_etal.ecrit_texte(Memo_copie.ligne(ligne_tours + 1) + " m");
    }
    etalonnage_en_service();
    // A measured pair now goes to this slot, against this calibration.
    calcule_mesure();
}

void Tmoteur::etalonnage_en_service(bool avertit) {
    etat.nbr_correction = 0;
    etat.pas_correction = etat.dist_etal / 100;
    lb_correction.ecrit_texte("0");
    lb_dist_etal.ecrit_couleur(Tcouleur::degrade_legende_inactive);

    // Centimetres per revolution: the product in 64 bits so that no distance wraps,
    // the quotient truncated toward zero and held within the field's range.
    const std::int64_t centimetres = static_cast<std::int64_t>(etat.dist_etal) * 100;
    if (etat.tours_etal == 0) leve_division_par_zero(centimetres);
    etat.circonference_cm = sature(centimetres / etat.tours_etal);
    if (avertit && !circonference_plausible(etat.circonference_cm))
        services.message(texte_valeurs_erronees);
}

void Tmoteur::pas_etalonnage(int sens) {
    // A step that would leave the 32-bit range stops at its limit; the press is
    // still counted, so the crew sees every press in lb_correction.
    etat.dist_etal = sature(static_cast<std::int64_t>(etat.dist_etal) +
                            static_cast<std::int64_t>(sens) * etat.pas_correction);
    lb_dist_etal.ecrit_texte(std::to_string(etat.dist_etal));
    etat.nbr_correction = sature(static_cast<std::int64_t>(etat.nbr_correction) + sens);
    lb_correction.ecrit_texte(std::to_string(etat.nbr_correction));
    lb_dist_etal.ecrit_couleur(etat.nbr_correction != 0 ? Tcouleur::rouge
                                                        : Tcouleur::degrade_legende_inactive);
}

void Tmoteur::plus_etalClick() {
    pas_etalonnage(+1);
}

void Tmoteur::moins_etalClick() {
    pas_etalonnage(-1);
}
