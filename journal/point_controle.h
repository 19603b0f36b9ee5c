#pragma once
// What the crew sees, taken once a second into the journal and compared on replay:
// the three registers, the gap's text and the lit LED.

#include "moteur.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Tpoint_controle {
    std::string heure;                 // the engine's time of day, "HH:MM:SS"
    std::string total, partiel, caden; // the six digits as shown, highest first
    std::string ecart;                 // la_ecart's text
    std::string led;                   // the outermost lit LED ("pa_m20", "pa_vert"), or "aucune"
    // The computer's time of day, "HH:MM:SS", where the official time is not the computer's;
    // empty where it is.
    std::string ordinateur;

    bool operator==(const Tpoint_controle&) const = default;
};

// The controls compared, by the names the crew reads, with their values.
struct Tvaleur_controlee {
    const char* controle;
    const std::string Tpoint_controle::*valeur;
};
inline constexpr Tvaleur_controlee valeurs_controlees[] = {
    {"TOTAL", &Tpoint_controle::total}, {"PARTIEL", &Tpoint_controle::partiel},
    {"CADEN", &Tpoint_controle::caden}, {"ECART", &Tpoint_controle::ecart},
    {"LED", &Tpoint_controle::led},
};

// What the crew sees now, at the engine's official time as last read.
Tpoint_controle prend_point(const Tmoteur& m);
// The engine's official time as last read, "HH:MM:SS"; empty before it read any.
std::string heure_du_moteur(const Tmoteur& m);

// "point HH:MM:SS TOTAL PARTIEL CADEN "ecart" LED", then "ordinateur HH:MM:SS" where the
// official time is not the computer's.
void ajoute_point(std::string& ligne, const Tpoint_controle& p);
std::optional<Tpoint_controle> lit_point(const std::vector<std::string>& mots);
