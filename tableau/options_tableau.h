#pragma once
// The command line of velmora-tableau.

#include "lecture_options.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline constexpr const char* usage_tableau =
    "Usage : velmora-tableau RALLYE ZONE [--pas METRES] [--depart HH:MM:SS] [--pdf FICHIER]";
inline constexpr const char* aide_tableau =
    "Tableau de marche de la zone ZONE (« ZR3 » ou « 3 ») du fichier RALLYE : à chaque\n"
    "distance, le temps auquel passe une voiture à l'heure, au dixième près du cadenceur.\n"
    "  --pas METRES        une ligne tous les METRES mètres (100 par défaut), et une à\n"
    "                      la fin de chaque ligne de la zone\n"
    "  --depart HH:MM:SS   ajoute l'heure de passage pour ce départ\n"
    "  --pdf FICHIER       écrit des pages A4 à imprimer au lieu du CSV\n"
    "  -h, --aide          cette aide\n"
    "  --                  la fin des options : ce qui suit est RALLYE et ZONE, même\n"
    "                      s'ils commencent par « - »\n"
    "Sans --pdf, le tableau sort en CSV (« ; » entre colonnes, « , » décimale) sur la\n"
    "sortie standard. Statut 0 : réussi ; 2 : entrée refusée (ou trop grande pour la\n"
    "mémoire) ; 1 : écriture impossible (l'ancien fichier reste alors tel quel).";

struct Toptions_tableau {
    bool aide = false;
    std::string rallye;
    std::int32_t zone = 0;                       // 1 to 30, as the window's zone list offers them
    std::int32_t pas_m = 100;                    // a line at every multiple of this
    std::optional<std::int32_t> depart_dixiemes; // start time of day, tenths since midnight
    std::optional<std::string> pdf;
};

// Reads the arguments after the program's name; a line it cannot understand, or a value it
// refuses, throws Tligne_refusee.
Toptions_tableau lit_options(const std::vector<std::string>& arguments);
