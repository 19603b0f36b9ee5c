#pragma once
// One pass of the zone extraction: the value lines of a section of the rally file.

#include "controles.h"

#include <string>
#include <string_view>
#include <vector>

struct Tsection_zone {
    std::vector<std::string> lignes; // as the field receives them, the closing empty line included
    bool trouvee = false;            // at least one line was taken
};

// Scans the first 201 lines of `source`. A line equal to `cle` opens a run (and is
// never taken); each later line is taken, prepared, until an empty line, which is
// taken too and closes the run. A later line equal to the key opens a new run.
Tsection_zone extrait_section(const Tmodele_memo& source, const std::string& cle,
                              std::string_view separateur);
