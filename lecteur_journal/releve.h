#pragma once
// What a replayed run showed, second by second, with the crew's actions that the
// drawing marks: the survey that velmora-journal writes out and draws. Texts that came from
// the crew or a file are kept as the programs print them (texte_affichable, cut after
// texte_releve_max bytes): a journal's 16 MiB text costs the survey no more than a short one.

#include "lecture_journal.h"
#include "rejeu.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One checkpoint of the journal, with the engine's state there.
struct Techantillon {
    std::string heure;         // "HH:MM:SS"
    std::int32_t secondes = 0; // since midnight
    std::string chrono;        // as shown, "0:12:05"
    std::int32_t total_m = 0, partiel_m = 0, caden_m = 0;
    std::int32_t ecart_m = 0;  // as the crew reads it, signed: + ahead, - late
    std::string led;           // the outermost lit LED: "verte", "retard 2", "avance 1", "aucune"
    std::uint32_t moyenne = 0; // the average in force: its text in Treleve::moyennes
    bool boitier = false;
    bool cadenceur = false; // ON checked
    std::int32_t seuil = 0;
};

enum class Tgenre_marque : std::uint8_t {
    correction_trip,
    etalonnage,
    debranchement,
    rebranchement
};

// A crew's action or an incident, at the time and ideal distance where it happened.
struct Tmarque {
    Tgenre_marque genre;
    std::int32_t secondes = 0;
    std::int32_t caden_m = 0;
    std::string texte; // "trip +12 m", "étalonnage 1000 → 1010 m", "boîtier débranché"
};

// A validated zone: from its validation to the next one or the end of the run.
struct Tzone_validee {
    std::string nom;                  // "ZR1", or "zone" when typed by hand
    std::uint32_t ligne = 0;          // of the journal: the validation's event
    std::string rallye;               // the rally file's name
    std::string depart;               // "10:01:00"
    std::int32_t depart_secondes = 0; // since midnight
    std::size_t premier = 0, fin = 0; // its checkpoints [premier, fin)
    std::size_t premiere_marque = 0, fin_marques = 0;
    // Where each new average starts, in metres of the ideal distance, and its text.
    std::vector<std::pair<std::int32_t, std::string>> changements;
};

inline constexpr std::size_t texte_releve_max = 200;
// Pages drawn at most (and so PNG files written): one a validated zone, and no crew validates
// this many zones in one run. The survey keeps the zones up to one past it, so that a drawing
// can name the line of the first zone too many, and at most marques_zone_max marks a zone.
inline constexpr std::size_t pages_journal_max = 100;
inline constexpr std::size_t marques_zone_max = 1000;

struct Treleve {
    std::vector<Techantillon> echantillons;
    // The averages' texts with a decimal comma ("48,50"), each kept once for the checkpoints
    // that follow until it changes.
    std::vector<std::string> moyennes;
    std::vector<Tmarque> marques;
    std::vector<Tzone_validee> zones;
    std::optional<Tdivergence> divergence;
    bool coupe = false;               // the journal ended inside an event
    std::uint32_t ligne_atteinte = 0; // the journal's last line replayed (Trejeu's)
};

// Replays the journal and takes the survey.
Treleve releve(const Tjournal& j);
