#pragma once
// What the box is told: its command-line options, and its commands typed on its
// standard input one per line, in French.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The command's name, as installed; it starts every message.
extern const char* const nom_commande;

struct Tcommande {
    enum Tsorte {
        tours,     // `tours N`: N wheel revolutions
        touches,   // `touche C...` or bare codes: remote keys 0 to 16
        vitesse,   // `vitesse KMH`: revolutions at the pace of that speed, 0 stops them
        debranche, // `debranche [MS]`: the box is pulled out, after MS ms without a report
        rebranche, // `rebranche`: and plugged in again
        quitte,    // `quitte` (or the end of the input)
        aide,      // `aide`
    } sorte = aide;
    std::vector<std::uint8_t> codes; // the keys
    long nombre = 0;                 // revolutions; for debranche, milliseconds
    double kmh = 0;                  // speed
};

// The command of one line; no value and an explanation in `erreur` when it is not one.
// An empty line is no command and no error.
std::optional<Tcommande> lit_commande(const std::string& ligne, std::string& erreur);

extern const char* const aide_commandes;

struct Toptions {
    std::uint8_t numero = 0;
    double circonference_m = 1000.0 / 540.0; // the sample calibration: 540 revolutions a km
    double cadence = 250;                    // reports a second when sending a batch
    double kmh = 0;
    long tours = 0;
    std::vector<std::uint8_t> touches;
    // Where each input report's sending time is written at the end (CLOCK_MONOTONIC, ns,
    // and its code, one report a line), for measuring the path to the screen; none: not kept.
    std::string horodatage;
};

enum class Tlecture_options { a_lancer, aide, erreur };

// The command line, program name excluded. On an error, the explanation in `erreur`.
Tlecture_options lit_options(const std::vector<std::string>& arguments, Toptions& o,
                             std::string& erreur);

// The usage, then the commands.
std::string usage();
