#pragma once
// The zone extraction: the value lines of the two sections of a zone in the rally file.

#include "controles.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct Tsection_zone {
    std::vector<std::string> lignes; // as the field receives them, the closing empty line included
    std::vector<std::int32_t> numeros; // line of the source each one was taken from, from 0
    bool trouvee = false;              // at least one line was taken
};

// The lines of `source` a section takes, from 0 (see extrait_section).
std::vector<std::int32_t> numeros_de_section(const Tmodele_memo& source, const std::string& cle);

// Scans the first 201 lines of `source`. A line equal to `cle` opens a run (and is
// never taken); each later line is taken, prepared, until an empty line, which is
// taken too and closes the run. A later line equal to the key opens a new run.
Tsection_zone extrait_section(const Tmodele_memo& source, const std::string& cle,
                              std::string_view separateur);

struct Tzone_extraite {
    Tsection_zone distances; // section "KZR" n
    Tsection_zone moyennes;  // section "MZR" n
};

// Both sections of zone n; the zone exists when its distance section gave a line.
Tzone_extraite extrait_zone(const Tmodele_memo& source, std::int32_t n,
                            std::string_view separateur);
