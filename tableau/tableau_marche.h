#pragma once
// The zone's time table: for every distance of the table, the time at which an on-time
// car passes there, as the cadenceur counts it.

#include "etat_regularite.h"

#include <cstdint>
#include <vector>

struct Tligne_marche {
    std::int32_t distance_m = 0;
    // The first tenth of a second after the start at which the cadence reaches the
    // distance: one tenth earlier it is still short of it.
    std::int32_t dixiemes = 0;
    std::int32_t moyenne_mh = 0; // the average in force from this distance on
    bool changement = false;     // the average differs from the previous line's
};

// Most lines a table may have; a longer one is refused, not drawn.
inline constexpr std::int64_t nbr_lignes_tableau_max = 1'000'000;

// A line at every multiple of `pas_m` and at the end of every row, from 0 to the end
// of the last row, on the first n rows (n at least 1) of a validated table whose
// distances never go back and whose averages are above 0. Throws Tentree_refusee for
// a table too long to draw or a distance the cadence does not reach in 2^31 tenths.
std::vector<Tligne_marche> tableau_de_marche(const Ttable_zr& table, std::int32_t n,
                                             std::int32_t pas_m);
