#pragma once
// All engine state, owned by the main window for the whole run and created zeroed.

#include "compteur_distance.h"
#include "horloge_rallye.h"

#include <array>
#include <cstdint>
#include <string>

// Rows a schedule can hold; also the number of lines looked at in any file or field.
inline constexpr int nbr_lignes_max = 201;

// The segment table of the validated zone.
struct Ttable_zr {
    std::array<std::int32_t, nbr_lignes_max> durees_s{};        // time to drive each row
    std::array<std::int32_t, nbr_lignes_max> distances_m{};     // end of each row from the start
    std::array<std::int32_t, nbr_lignes_max> moyennes_mh{};     // average of each row, m/h
    std::array<std::int32_t, nbr_lignes_max> fins_cumulees_s{}; // start to the end of each row
};

// Length of the box's input report buffer: report identifier plus up to 64 data bytes.
inline constexpr std::size_t taille_tampon_usb_entree = 65;

struct Tetat_regularite {
    // Trip odometer
    std::int32_t cumul_total = 0;
    std::int32_t cumul_partiel = 0;
    Tcompteur_distance compteur_total;
    Tcompteur_distance compteur_partiel;

    // Calibration
    std::int32_t dist_etal = 0;
    std::int32_t tours_etal = 0;
    std::int32_t num_etal = 0;
    std::int32_t pas_correction = 0;
    std::int32_t nbr_correction = 0;
    std::int32_t circonference_cm = 0;

    // Zone schedule
    std::int32_t heure_zr = 0;
    std::int32_t min_zr = 0;
    std::int32_t sec_zr = 0;
    std::int32_t nbr_lignes_zr = 0;
    Ttable_zr table_zr;

    // Cadenceur and chronometer
    Tcompteur_distance compteur_cadenceur;
    std::int32_t distance_cadenceur = 0;
    std::int32_t decalage_cad = 0;
    std::int32_t dixiemes_depart = 0;
    std::int32_t dixiemes_maintenant = 0;
    std::int32_t dixiemes_ecoules = 0;
    std::int32_t secondes_ecoulees = 0;
    std::int32_t segment_courant = 0;
    std::int32_t chrono_heures = 0;
    std::int32_t chrono_minutes = 0;
    std::int32_t chrono_secondes = 0;
    std::string chrono_texte;

    // Gap and indicators
    std::int32_t ecart = 0;
    std::int32_t seuil = 0;
    std::int32_t code_leds = 0;

    // Keypad and trip update
    std::int32_t touche = 0;
    std::string saisie_maj;
    bool virgule_saisie = false;
    std::int32_t nbr_chiffres_avant = 0;
    std::int32_t nbr_chiffres_apres = 0;
    std::int32_t valeur_saisie_m = 0;
    std::int32_t ecart_maj = 0;
    double pourcentage_maj = 0.0;

    // Revolutions since start-up, whatever the calibration: a base is measured on them.
    std::int64_t tours_de_roue = 0;
    bool mesure_en_cours = false;
    std::int64_t tours_au_depart_mesure = 0;
    std::int64_t tours_mesures = 0;
    // The official time: the rally clock, and its counter as last read.
    Thorloge_rallye horloge;
    std::int64_t compteur_lu_ms = 0;
    // The start time in the ZR fields is the program's proposal, not yet the crew's.
    bool depart_propose = false;

    // Device link
    bool boitier_present = false;
    std::uint32_t handle_boitier = 0;
    std::array<std::uint8_t, taille_tampon_usb_entree> tampon_usb_entree{};
    std::array<std::uint8_t, 2> tampon_usb_sortie{};
};
