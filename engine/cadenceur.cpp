// Cadenceur and chronometer: the ideal distance from the wall clock and the validated schedule.
#include "moteur.h"

#include "conversions.h"
#include "distance_ideale.h"
#include "entier_sature.h"
#include "format_moyenne.h"
#include "heure_du_jour.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::int64_t douze_heures = dixiemes_par_jour / 2;

// The clock or the chronometer as shown: one blank on each side.
std::string entre_blancs(const std::string& t) {
    std::string r;
    r.reserve(t.size() + 2);
    r += ' ';
    r += t;
    r += ' ';
    return r;
}

} // namespace

void Tmoteur::Timer1Timer() {
    // On the computer's time the clock shows in the user's own format; on another official
    // time, on 24 hours with the letters HO, so that the crew sees it is not the computer's.
    const Theure_du_jour h = heure_officielle();
    Labelheure.ecrit_texte(entre_blancs(
        etat.horloge.suit_l_ordinateur() ? services.heure_format_long(h) : texte_hms(h) + " HO"));
    etat.dixiemes_ecoules = 0;
    etat.dixiemes_maintenant = sature_32(dixiemes_du_jour(h));
    // Start fields are whatever integers the crew typed: 64-bit sums, held in 32 bits.
    etat.dixiemes_depart =
        sature_32(dixiemes_du_jour({etat.heure_zr, etat.min_zr, etat.sec_zr, 0}));
    etat.compteur_cadenceur.remet_a_zero();

    const std::int64_t maintenant = etat.dixiemes_maintenant;
    const std::int64_t depart = etat.dixiemes_depart;
    std::int64_t ecoules = 0;
    if (maintenant >= depart) ecoules = maintenant - depart;
    if (maintenant < depart && depart - maintenant > douze_heures)
        ecoules = maintenant - depart + dixiemes_par_jour;
    // A start hour above 23 can put the start after tomorrow's clock: still to come.
    if (ecoules < 0) ecoules = 0;
    etat.dixiemes_ecoules = sature_32(ecoules);

    if (etat.dixiemes_ecoules != 0) {
        calcul_kilometre_cadenceur();
        // The register has no sign: a negative ideal distance shows 0, and the gap is
        // taken against 0.
        etat.compteur_cadenceur.charge_metres(std::max(etat.distance_cadenceur, 0));
        etat.distance_cadenceur = 0;
        if (cad_on.coche()) {
            etat.compteur_cadenceur.affiche_chiffres(labels_cadenceur);
            calcule_kilometres_total();
            calcule_kilometres_partiel();
            calcule_et_affiche_ecart();
            calcule_temps_chrono();
        } else {
            for (Tmodele_label* l : labels_cadenceur)
                l->ecrit_texte("0");
            la_ecart.ecrit_texte(".   0.");
            avance.ecrit_position(0);
            retard.ecrit_position(0);
            Labelchrono.ecrit_texte(" 0:00:00 ");
        }
    } else {
        for (Tmodele_label* l : labels_cadenceur)
            l->ecrit_texte("0");
        etat.code_leds = 0;
        mise_a_jour_aff_deporte();
    }

    if (!cad_on.coche()) {
        etat.ecart = 0;
        la_ecart.ecrit_texte(".   0.");
        etat.code_leds = 0;
        mise_a_jour_aff_deporte();
    }
}

void Tmoteur::calcul_kilometre_cadenceur() {
    const std::int32_t n = std::clamp(etat.nbr_lignes_zr, 0, nbr_lignes_max);
    etat.segment_courant = 0;
    etat.secondes_ecoulees = etat.dixiemes_ecoules / 10;

    if (n >= 1) {
        const Tposition_cadence p = distance_ideale(etat.table_zr, n, etat.dixiemes_ecoules);
        etat.segment_courant = p.rangee;
        etat.distance_cadenceur = sature_32(p.distance_m);
        const Tmoyenne_ecrite source{p.rangee, memo_moy.revision(), La_moy_en_cours.revision()};
        if (source != moyenne_ecrite_) {
            La_moy_en_cours.ecrit_texte(
                texte_moyenne_en_cours(memo_moy.ligne(static_cast<std::size_t>(p.rangee))));
            moyenne_ecrite_ = {p.rangee, memo_moy.revision(), La_moy_en_cours.revision()};
        }
    }

    if (cb_offcet_cad.coche())
        etat.distance_cadenceur =
            sature_32(std::int64_t{etat.distance_cadenceur} + etat.decalage_cad);
}

void Tmoteur::calcule_temps_chrono() {
    const std::int32_t t = etat.dixiemes_ecoules / 10;
    // Whole hours and minutes by division: a run of days must not cost a loop per hour.
    if (t >= 0) {
        etat.chrono_heures = t / 3600;
        etat.chrono_minutes = t % 3600 / 60;
        etat.chrono_secondes = t % 60;
    } else {
        etat.chrono_heures = 0;
        etat.chrono_minutes = 0;
        etat.chrono_secondes = t;
    }
    etat.chrono_texte =
        entre_blancs(std::to_string(etat.chrono_heures) + ":" + deux_chiffres(etat.chrono_minutes) +
                     ":" + deux_chiffres(etat.chrono_secondes));
    Labelchrono.ecrit_texte(etat.chrono_texte);
}

void Tmoteur::valid_offcet_cadClick() {
    const auto decalage = entier_depuis_texte(ed_offcet_cad.texte());
    if (decalage) {
        etat.decalage_cad = *decalage;
        la_offcet_cad.ecrit_texte(ed_offcet_cad.texte());
        return;
    }
    // The previous offset stays in force while the box is open.
    services.message("ERREUR de SAISIE");
    raz_offcet_cadClick();
}

void Tmoteur::raz_offcet_cadClick() {
    etat.decalage_cad = 0;
    ed_offcet_cad.ecrit_texte("");
    la_offcet_cad.ecrit_texte("0");
}
