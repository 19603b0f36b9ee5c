// Trip odometer: wheel revolutions into whole metres on TOTAL and PARTIEL.
#include "moteur.h"

#include <cstdint>

namespace {

// Moves a register by n metres at once, exactly as n single steps would: a
// register of at most 999 999 m wraps modulo a million either way; one loaded
// past it (hundreds of km 10 or more) grows forward without wrapping and, moving
// back, wraps only once it is below a million again. A calibration of thousands
// of metres per revolution then costs no more than one of two.
void deplace(Tcompteur_distance& compteur, std::int64_t n, bool marche_arriere) {
    constexpr std::int64_t tour_complet = 1'000'000;
    const std::int64_t v = compteur.valeur_en_metres();
    std::int64_t r = marche_arriere ? v - n : v + n;
    if (marche_arriere) {
        if (r < 0) r = (r % tour_complet + tour_complet) % tour_complet;
    } else if (v < tour_complet) {
        r %= tour_complet;
    } else if (r > INT32_MAX) {
        r = INT32_MAX;
    }
    compteur.charge_metres(static_cast<std::int32_t>(r));
}

// Takes one metre out of the accumulator for every tours_etal collected. With no
// usable calibration (tours_etal 0 or below) nothing is counted and the
// accumulator keeps its value, instead of looping for ever.
void compte_metres(std::int32_t& cumul, std::int32_t tours_etal, bool marche_arriere,
                   Tcompteur_distance& compteur) {
    if (tours_etal <= 0 || cumul < tours_etal) return;
    const std::int32_t metres = cumul / tours_etal;
    cumul %= tours_etal;
    deplace(compteur, metres, marche_arriere);
}

// Adds a revolution's worth to an accumulator without signed overflow: a sum
// beyond the 32-bit range is held at its limit.
void ajoute_sature(std::int32_t& cumul, std::int32_t increment) {
    std::int64_t v = static_cast<std::int64_t>(cumul) + increment;
    if (v > INT32_MAX) v = INT32_MAX;
    if (v < INT32_MIN) v = INT32_MIN;
    cumul = static_cast<std::int32_t>(v);
}

} // namespace

void Tmoteur::un_tour_de_roue() {
    // In reverse a revolution takes back the road it covers: a base overshot and reversed to
    // its mark counts the base alone.
    etat.tours_de_roue += cb_marche_ar.coche() ? -1 : 1;
    compte_tour_mesure();
    // A revolution on no usable calibration (no revolutions, or a length driven below
    // zero by corrections) counts nothing and leaves nothing owed: otherwise the remainders
    // would pile up and pay out as a burst of metres once a calibration is chosen.
    if (etat.tours_etal > 0 && etat.dist_etal >= 0) {
        ajoute_sature(etat.cumul_partiel, etat.dist_etal);
        ajoute_sature(etat.cumul_total, etat.dist_etal);
    }
    calcule_kilometres_total();
    calcule_kilometres_partiel();
}

void Tmoteur::calcule_kilometres_total() {
    compte_metres(etat.cumul_total, etat.tours_etal, cb_marche_ar.coche(), etat.compteur_total);
    etat.compteur_total.affiche_chiffres(labels_total);
}

void Tmoteur::calcule_kilometres_partiel() {
    compte_metres(etat.cumul_partiel, etat.tours_etal, cb_marche_ar.coche(), etat.compteur_partiel);
    etat.compteur_partiel.affiche_chiffres(labels_partiel);
}

void Tmoteur::ajoute_2_metres() {
    Tcompteur_distance& t = etat.compteur_total;
    t.m += 2;
    if (t.m >= 10) {
        t.m -= 10;
        std::int32_t* suivants[] = {&t.dixm, &t.centm, &t.kilom, &t.dixkilom};
        bool retenue = true;
        for (std::int32_t* chiffre : suivants) {
            *chiffre += 1;
            retenue = *chiffre == 10;
            if (!retenue) break;
            *chiffre = 0;
        }
        // Past 999 999 the whole of TOTAL starts again from zero.
        if (retenue && ++t.centkilom == 10) raz_affichage_trip();
    }
    t.affiche_chiffres(labels_total);
}

void Tmoteur::enleve_2_metres() {
    Tcompteur_distance& t = etat.compteur_total;
    if (t.valeur_en_metres() < 2) return;
    t.m -= 2;
    if (t.m < 0) {
        t.m += 10;
        std::int32_t* suivants[] = {&t.dixm, &t.centm, &t.kilom, &t.dixkilom, &t.centkilom};
        for (std::int32_t* chiffre : suivants) {
            *chiffre -= 1;
            if (*chiffre >= 0) break;
            *chiffre = 9;
        }
    }
    t.affiche_chiffres(labels_total);
}

void Tmoteur::raz_partiel() {
    etat.compteur_partiel.remet_a_zero();
    for (Tmodele_label* l : labels_partiel)
        l->ecrit_texte("0");
}

void Tmoteur::raz_affichage_trip() {
    etat.compteur_total.remet_a_zero();
    for (Tmodele_label* l : labels_total)
        l->ecrit_texte("0");
}

void Tmoteur::RAZClick() {
    raz_partiel();
}

void Tmoteur::raz_tripClick() {
    raz_affichage_trip();
    raz_partiel();
    etat.ecart = 0;
    la_ecart_maj.ecrit_texte("0");
    La_moy_en_cours.ecrit_texte(moyenne_nulle);
    la_pourcent.ecrit_texte("0");
}
