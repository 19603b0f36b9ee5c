#pragma once
// The box's commands, typed on its standard input one per line, in French.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Tcommande {
    enum Tsorte {
        tours,     // `tours N`: N wheel revolutions
        touches,   // `touche C...` or bare codes: remote keys 0 to 16
        vitesse,   // `vitesse KMH`: revolutions at the pace of that speed, 0 stops them
        debranche, // `debranche`: the box is pulled out
        rebranche, // `rebranche`: and plugged in again
        quitte,    // `quitte` (or the end of the input)
        aide,      // `aide`
    } sorte = aide;
    std::vector<std::uint8_t> codes; // the keys
    long nombre = 0;                 // revolutions
    double kmh = 0;                  // speed
};

// The command of one line; no value and an explanation in `erreur` when it is not one.
// An empty line is no command and no error.
std::optional<Tcommande> lit_commande(const std::string& ligne, std::string& erreur);

extern const char* const aide_commandes;
