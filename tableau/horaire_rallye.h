#pragma once
// A zone of a rally file, read, extracted and validated as the window does it, into
// the segment table the cadenceur runs on.

#include "etat_regularite.h"

#include <cstdint>
#include <string>
#include <vector>

struct Thoraire_zone {
    Ttable_zr table;
    std::int32_t nbr_rangees = 0;
    std::vector<std::string> avertissements; // said on standard error; the table is still drawn
};

// Refuses, with every reason at once, what the window would refuse or show with a
// message, and what no time table can be drawn from: an average of 0 or below, a
// distance below 0 or below the previous row's. Each row is named by its file line.
Thoraire_zone lit_horaire_zone(const std::string& chemin, std::int32_t zone);
