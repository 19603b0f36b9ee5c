#include "tableau_marche.h"

#include "distance_ideale.h"
#include "entree_refusee.h"
#include "textes_tableau.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

namespace {

constexpr std::int64_t dixiemes_max = std::numeric_limits<std::int32_t>::max();

// The first tenth from `depuis` on at which the cadence reaches d: it never goes back on
// such a table, so it is found by doubling the step from the last line's time, then
// halving the interval where it was crossed.
std::optional<std::int32_t> premier_dixieme(const Ttable_zr& table, std::int32_t n, std::int64_t d,
                                            std::int64_t depuis) {
    // At tenth 0 the cadenceur has not started and CADEN shows 0, even where a first row
    // shorter than a second has already ended in the table.
    const auto atteint = [&](std::int64_t t) {
        if (t == 0) return d <= 0;
        return distance_ideale(table, n, static_cast<std::int32_t>(t)).distance_m >= d;
    };
    if (atteint(depuis)) return static_cast<std::int32_t>(depuis);
    std::int64_t avant = depuis; // not reached yet
    std::int64_t saut = 1;
    std::int64_t apres = avant + saut;
    while (apres < dixiemes_max && !atteint(apres)) {
        avant = apres;
        saut *= 2;
        apres = avant + saut;
    }
    if (apres >= dixiemes_max) {
        apres = dixiemes_max;
        if (!atteint(apres)) return std::nullopt;
    }
    while (apres - avant > 1) {
        const std::int64_t milieu = avant + (apres - avant) / 2;
        (atteint(milieu) ? apres : avant) = milieu;
    }
    return static_cast<std::int32_t>(apres);
}

} // namespace

std::vector<Tligne_marche> tableau_de_marche(const Ttable_zr& table, std::int32_t n,
                                             std::int32_t pas_m) {
    const std::int64_t fin = table.distances_m[static_cast<std::size_t>(n - 1)];
    const std::int64_t nbr_lignes = fin / pas_m + 1 + n;
    if (nbr_lignes > nbr_lignes_tableau_max)
        throw Tentree_refusee("Le tableau aurait " + std::to_string(nbr_lignes) +
                              " lignes (au plus " + std::to_string(nbr_lignes_tableau_max) +
                              ") : choisissez un pas plus grand");

    std::vector<Tligne_marche> lignes;
    lignes.reserve(static_cast<std::size_t>(nbr_lignes));
    const auto fin_rangee = [&](std::int32_t r) {
        return std::int64_t{table.distances_m[static_cast<std::size_t>(r)]};
    };
    std::int64_t multiple = 0;  // the next multiple of the step
    std::int32_t prochaine = 0; // the next row whose end is not written yet
    std::int64_t temps = 0;
    while (true) {
        while (prochaine < n && !lignes.empty() &&
               fin_rangee(prochaine) <= lignes.back().distance_m)
            ++prochaine;
        const std::int64_t d = prochaine < n ? std::min(multiple, fin_rangee(prochaine)) : multiple;
        if (d > fin) break;
        const auto t = premier_dixieme(table, n, d, temps);
        if (!t)
            throw Tentree_refusee("La cadence n'atteint pas " + texte_km(d) + " km en " +
                                  std::to_string(dixiemes_max / 36000) +
                                  " heures : la ZR est trop longue pour un tableau");
        temps = *t;
        // From a row's end on, the next row's average is in force; the last one runs on.
        std::int32_t en_vigueur = prochaine;
        while (en_vigueur < n - 1 && fin_rangee(en_vigueur) <= d)
            ++en_vigueur;
        const std::int32_t moyenne = table.moyennes_mh[static_cast<std::size_t>(en_vigueur)];
        lignes.push_back({static_cast<std::int32_t>(d), *t, moyenne,
                          !lignes.empty() && moyenne != lignes.back().moyenne_mh});
        if (d == multiple) multiple += pas_m;
    }
    return lignes;
}
