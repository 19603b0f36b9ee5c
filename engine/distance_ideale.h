#pragma once
// The cadence: how far an on-time car stands at a time after the zone's start.

#include "etat_regularite.h"

#include <cstdint>

struct Tposition_cadence {
    std::int32_t rangee = 0;     // the row being driven
    std::int64_t distance_m = 0; // the ideal distance, before any offset
};

// On the first n rows (n at least 1) of a validated table, `dixiemes` tenths of a second
// after the start. A row before the last ends at its whole-second end time, where the
// cadence jumps to its end distance; the last row runs on at its average past its end.
Tposition_cadence distance_ideale(const Ttable_zr& table, std::int32_t n, std::int32_t dixiemes);
