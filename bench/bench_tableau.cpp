// The time table of a full zone: 201 rows of about a kilometre, validated as the window
// validates typed rows, drawn at a 10 m step (about 20,000 lines) and written as CSV.
#include "controles.h"
#include "sortie_csv.h"
#include "tableau_marche.h"
#include "validation_horaire.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

void BM_tableau_201_rangees_pas_10m(benchmark::State& etat) {
    std::vector<std::string> kms, moy;
    std::int32_t d = 0;
    for (int i = 0; i < nbr_lignes_max; ++i) {
        d += 950 + (i * 37) % 100;
        kms.push_back(std::to_string(d / 1000) + "." + std::to_string(1000 + d % 1000).substr(1));
        moy.push_back(std::to_string(30 + i % 31) + "." + std::to_string(i % 10) + "5");
    }
    Tmodele_memo memo_kms(kms), memo_moy(moy);
    Ttable_zr table;
    const std::int32_t n = compte_rangees(memo_kms, memo_moy);
    const auto refus = [&](std::int32_t) { etat.SkipWithError("row refused"); };
    convertit_rangees(memo_kms, table.distances_m, n, ",", refus);
    convertit_rangees(memo_moy, table.moyennes_mh, n, ",", refus);
    calcule_fins_rangees(table, n);

    std::size_t lignes = 0;
    for (auto _ : etat) {
        const auto tableau = tableau_de_marche(table, n, 10);
        std::ostringstream csv;
        ecrit_csv(csv, tableau, 8 * 36000);
        lignes = tableau.size();
        benchmark::DoNotOptimize(csv.str().size());
    }
    etat.counters["lignes"] = static_cast<double>(lignes);
    if (n != nbr_lignes_max || lignes < 19000) etat.SkipWithError("not a full zone");
}
BENCHMARK(BM_tableau_201_rangees_pas_10m)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
