// The engine's hot paths: the clock tick ten times a second, one wheel revolution, a
// trip update typed on the remote, and the extraction and validation of a zone of a full
// rally file.
#include "moteur.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

class Tservices_banc : public Iservices {
public:
    std::int32_t dixiemes = 0;
    void message(const std::string&) override {}
    bool question(const std::string&, const std::string&, const std::string&) override {
        return false;
    }
    Thorloges horloges() override {
        return {std::int64_t{dixiemes} * 100, heure_de_ms(std::int64_t{dixiemes} * 100)};
    }
    std::string heure_format_long(const Theure_du_jour& h) override {
        std::string t = "00:00:00";
        for (int i : {0, 1, 2}) {
            const int v = i == 0 ? h.heures : i == 1 ? h.minutes : h.secondes;
            t[static_cast<std::size_t>(3 * i)] = static_cast<char>('0' + v / 10);
            t[static_cast<std::size_t>(3 * i + 1)] = static_cast<char>('0' + v % 10);
        }
        return t;
    }
    std::string separateur_decimal() override { return ","; }
    std::string repertoire_executable() override { return "/"; }
    std::optional<std::string> choisit_fichier() override { return std::nullopt; }
};

// 201 rows of 1 km at 50 km/h: 72 s each, just over four hours in all.
void horaire_complet(Tmoteur& m) {
    std::vector<std::string> kms, moy;
    for (int i = 1; i <= nbr_lignes_max; ++i) {
        kms.push_back(std::to_string(i) + ".000");
        moy.push_back("50.0");
    }
    m.memo_kms.ecrit_lignes(kms);
    m.memo_moy.ecrit_lignes(moy);
}

void BM_top_horloge(benchmark::State& etat) {
    Tservices_banc s;
    Tmoteur m(s);
    horaire_complet(m);
    m.cb_heure_zr.ecrit_texte("08");
    m.valid_heure_zrClick();
    m.etat.seuil = 20;
    m.etat.tours_etal = 550;
    m.etat.dist_etal = 1000;
    const std::int32_t milieu = 10 * 36000; // two hours in: row 100
    std::int32_t pas = 0;
    for (auto _ : etat) {
        s.dixiemes = milieu + pas;
        pas = pas == 999 ? 0 : pas + 1;
        m.Timer1Timer();
    }
    if (m.etat.segment_courant < 90 || m.etat.segment_courant > 110)
        etat.SkipWithError("not mid-schedule");
}
BENCHMARK(BM_top_horloge);

void BM_tour_de_roue(benchmark::State& etat) {
    Tservices_banc s;
    Tmoteur m(s);
    m.etat.tours_etal = 550;
    m.etat.dist_etal = 1000;
    for (auto _ : etat)
        m.un_tour_de_roue();
    benchmark::DoNotOptimize(m.etat.compteur_total);
}
BENCHMARK(BM_tour_de_roue);

// A rally file of 201 lines: zone 1 with 98 rows, then one line that is never read.
std::vector<std::string> fichier_rallye() {
    std::vector<std::string> l{"KZR1"};
    for (int i = 1; i <= 98; ++i)
        l.push_back(std::to_string(i) + ".250");
    l.push_back("");
    l.push_back("MZR1");
    for (int i = 1; i <= 98; ++i)
        l.push_back(std::to_string(40 + i % 20) + ".5");
    l.push_back("");
    l.push_back("fin");
    return l;
}

void BM_extraction_et_validation(benchmark::State& etat) {
    Tservices_banc s;
    Tmoteur m(s);
    m.ed_fichier_rallye.ecrit_texte("rallye.txt");
    m.Memo_copie.ecrit_lignes(fichier_rallye());
    for (auto _ : etat) {
        m.ZONE.choisit(1);
        m.choisir_la_zr();
        m.valid_heure_zrClick();
    }
    if (m.etat.nbr_lignes_zr != 98) etat.SkipWithError("zone not extracted");
}
BENCHMARK(BM_extraction_et_validation);

// The crew types 12,345 on the remote and presses the red button: seven keys and the
// trip update they end with.
void BM_touches_et_mise_a_jour(benchmark::State& etat) {
    Tservices_banc s;
    Tmoteur m(s);
    constexpr std::int32_t touches[] = {1, 2, 10, 3, 4, 5, 16};
    for (auto _ : etat) {
        for (std::int32_t t : touches) {
            m.etat.touche = t;
            m.mise_a_jour_trip_clavier();
        }
    }
    if (m.etat.compteur_total.valeur_en_metres() != 12345) etat.SkipWithError("trip not updated");
}
BENCHMARK(BM_touches_et_mise_a_jour);

} // namespace

BENCHMARK_MAIN();
