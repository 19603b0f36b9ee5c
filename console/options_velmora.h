#pragma once
// The program's own command-line options (long ones, and -h), read by Qt's parser; Qt's own
// (one dash: -platform, -style...) and any other argument are left to the application.

#include <optional>
#include <string>
#include <vector>

struct Toptions_velmora {
    bool aide = false;
    bool journal = true;               // --sans-journal turns it off
    std::optional<std::string> rejeu;  // --rejeu FICHIER
    double vitesse = 1.0;              // --vitesse N, with --rejeu
    std::optional<std::string> erreur; // a French text when the line cannot be understood
    std::vector<char*> arguments_qt;   // what is left for Qt, program name first
};

Toptions_velmora lit_options_velmora(int argc, char** argv);

inline constexpr const char* usage_velmora =
    "Usage : velmora [--sans-journal]\n"
    "        velmora --rejeu FICHIER [--vitesse N]\n"
    "  --sans-journal    ne tient pas le journal de bord de ce parcours\n"
    "  --rejeu FICHIER   rejoue un journal de bord dans la fenêtre (les commandes de\n"
    "                    l'équipage sont ignorées jusqu'à la fin)\n"
    "  --vitesse N       rejoue N fois plus vite que le parcours enregistré (1 par défaut)\n"
    "  -h, --aide        cette aide";
