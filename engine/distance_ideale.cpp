#include "distance_ideale.h"

#include "entier_sature.h"

namespace {

// Tenths of a second times decimetres per hour over this give metres.
constexpr std::int64_t dixiemes_par_heure = 36000;

// An elapsed time's worth of distance at an average: trunc(dixiemes x moyenne / 36000).
std::int64_t distance_parcourue(std::int64_t dixiemes, std::int32_t moyenne_mh) {
    return produit_quotient(dixiemes, moyenne_mh, dixiemes_par_heure);
}

} // namespace

Tposition_cadence distance_ideale(const Ttable_zr& table, std::int32_t n, std::int32_t dixiemes) {
    const std::int32_t secondes = dixiemes / 10;
    // Rows before the last whose end has come; the last row's end is never looked at.
    std::int32_t s = 0;
    for (std::int32_t k = 0; k + 1 < n; ++k)
        s += table.fins_cumulees_s[static_cast<std::size_t>(k)] <= secondes;
    const auto r = static_cast<std::size_t>(s);
    if (s == 0) return {0, distance_parcourue(dixiemes, table.moyennes_mh[0])};
    const std::int64_t depuis_fin = dixiemes - 10 * std::int64_t{table.fins_cumulees_s[r - 1]};
    return {s, table.distances_m[r - 1] + distance_parcourue(depuis_fin, table.moyennes_mh[r])};
}
