#pragma once
// The command line of velmora-journal.

#include "avant_depart.h"
#include "lecture_options.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class Tcommande_journal { rejoue, csv, pdf, etalonnage };

struct Toptions_journal {
    bool aide = false;
    Tcommande_journal commande = Tcommande_journal::rejoue;
    std::string journal;
    std::optional<std::string> sortie; // pdf, csv: -o SORTIE ("-": standard output, csv only)
    bool png = false;                  // pdf: PNG pictures of the pages instead
    // etalonnage: --de and --a (HH:MM:SS[,d], tenths since midnight), --base (metres)
    std::optional<std::int32_t> de, a;
    std::optional<Tlongueur_base> base;
};

// Reads the arguments after the program's name; a line it cannot understand throws
// Tligne_refusee.
Toptions_journal lit_options_journal(const std::vector<std::string>& arguments);

inline constexpr const char* usage_journal =
    "Usage : velmora-journal rejoue FICHIER\n"
    "        velmora-journal csv FICHIER [-o SORTIE.csv]\n"
    "        velmora-journal pdf FICHIER -o SORTIE.pdf [--png]\n"
    "        velmora-journal etalonnage FICHIER --de HH:MM:SS[,d] --a HH:MM:SS[,d] --base METRES";
inline constexpr const char* aide_journal =
    "Lit un journal de bord du VELMORA (~/.local/state/velmora/journaux/).\n"
    "  rejoue  rejoue le parcours dans le moteur, sans fenêtre, et vérifie chaque point de\n"
    "          contrôle : « identique » (statut 0), la première divergence (statut 1),\n"
    "          ou aucun point de contrôle à comparer (statut 3)\n"
    "  csv     une ligne par seconde, au format des tableurs français, sur la sortie\n"
    "          standard, ou dans SORTIE.csv avec -o (-o - : la sortie standard)\n"
    "  pdf     une page A4 par zone validée : l'écart en mètres selon la distance et\n"
    "          selon le temps ; avec --png, une image PNG par page (SORTIE, SORTIE-2...)\n"
    "  etalonnage  les tours de roue comptés entre deux heures du parcours (la base\n"
    "          d'étalonnage) et l'étalonnage qu'ils donnent pour la longueur de la base\n"
    "  -o, --sortie SORTIE  le fichier écrit ; -h, --aide : cette aide\n"
    "Un fichier écrit l'est en entier ou pas du tout : l'ancien reste tel quel en cas\n"
    "d'échec (statut 1), et jamais sur le journal lu, un dossier ou un périphérique.\n"
    "Un journal illisible, ou trop grand pour la mémoire, est refusé avec le statut 2.";
