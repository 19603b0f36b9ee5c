#include "latence_invite.h"

#include "boitier_pilote.h"
#include "systeme_invite.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>

namespace {

using Thorloge = std::chrono::steady_clock;

constexpr unsigned code_tour = 48;

bool tourne_jusqu_a(const std::function<bool()>& condition, int secondes) {
    const auto fin = Thorloge::now() + std::chrono::seconds(secondes);
    while (!condition()) {
        if (Thorloge::now() > fin) return false;
        // Both windows tick every 100 ms: the wait always ends.
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

struct Tchiffres {
    double p50 = 0, p99 = 0, max = 0;
};

// Nearest rank, in ms.
Tchiffres chiffres(std::vector<std::int64_t> ns) {
    if (ns.empty()) return {};
    std::sort(ns.begin(), ns.end());
    const auto rang = [&ns](double p) {
        const auto r = static_cast<std::size_t>(std::ceil(p * static_cast<double>(ns.size())));
        return static_cast<double>(ns[std::clamp<std::size_t>(r, 1, ns.size()) - 1]) / 1e6;
    };
    return {rang(0.50), rang(0.99), static_cast<double>(ns.back()) / 1e6};
}

void imprime(const char* debut, const char* fenetre, const char* nom, long n,
             const std::vector<std::int64_t>& ns) {
    const Tchiffres c = chiffres(ns);
    std::printf("%s fenetre=%s partie=%s tours=%ld p50_ms=%.2f p99_ms=%.2f max_ms=%.2f\n", debut,
                fenetre, nom, n, c.p50, c.p99, c.max);
}

} // namespace

std::int64_t instant_monotone_ns() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

Tscenario_latence lit_scenario_latence(int argc, char** argv) {
    Tscenario_latence s;
    if (argc > 1) s.reguliers = std::atol(argv[1]);
    if (argc > 2) s.salves = std::atol(argv[2]);
    if (argc > 3) s.par_salve = std::atol(argv[3]);
    if (argc > 4) s.pause_ms = std::atoi(argv[4]);
    return s;
}

std::unique_ptr<Tboitier_pilote> demarre_boitier(const std::string& fichier_envois) {
    auto boitier = std::make_unique<Tboitier_pilote>(
        "boîtier", std::vector<std::string>{"--horodatage", fichier_envois});
    if (boitier->attend("branché") < 0 || attend_noeuds_boitier(1).size() != 1) return nullptr;
    return boitier;
}

void laisse_tourner(int ms) {
    const auto fin = Thorloge::now() + std::chrono::milliseconds(ms);
    tourne_jusqu_a([&] { return Thorloge::now() >= fin; }, ms / 1000 + 2);
}

long deroule_scenario(Tboitier_pilote& boitier, const Tscenario_latence& s,
                      const std::function<long()>& tours_traites) {
    if (!tourne_jusqu_a([&] { return boitier.cherche("ouvert") >= 0; }, 60)) return -1;
    laisse_tourner(2000);
    const long depart = tours_traites();
    if (s.reguliers > 0) {
        boitier.commande("vitesse 80");
        // 1.852 m a revolution at 80 km/h: 12 a second.
        if (!tourne_jusqu_a([&] { return tours_traites() >= depart + s.reguliers; },
                            static_cast<int>(s.reguliers / 6 + 60)))
            return -1;
        boitier.commande("vitesse 0");
        laisse_tourner(1000);
    }
    const long reguliers = tours_traites() - depart;
    journal("%ld tours à 80 km/h", reguliers);
    for (long i = 0; i < s.salves; ++i) {
        const long avant = tours_traites();
        boitier.commande("tours " + std::to_string(s.par_salve));
        if (!tourne_jusqu_a([&] { return tours_traites() >= avant + s.par_salve; }, 60)) return -1;
        laisse_tourner(s.pause_ms);
    }
    journal("%ld salves de %ld tours", s.salves, s.par_salve);
    laisse_tourner(1000);
    return reguliers;
}

bool rapporte_latence(const char* fenetre, const std::string& fichier_envois,
                      const Tmesures_latence& m, long reguliers) {
    std::vector<std::int64_t> envois;
    {
        std::ifstream f(fichier_envois);
        long long t;
        unsigned code;
        while (f >> t >> code)
            if (code == code_tour) envois.push_back(t);
    }
    const std::vector<std::int64_t>& lus = m.lus;
    const std::vector<std::int64_t>& remis = m.remis;
    const std::size_t n = envois.size();
    std::printf("comptes fenetre=%s envoyes=%zu lus=%zu remis=%zu peintures=%zu/%zu\n", fenetre, n,
                lus.size(), remis.size(), m.debuts_peinture.size(), m.fins_peinture.size());
    if (n == 0 || lus.size() != n || remis.size() != n ||
        m.debuts_peinture.size() != m.fins_peinture.size() ||
        m.tours_montres.size() != m.debuts_peinture.size()) {
        journal("ÉCHEC : les horodatages ne se correspondent pas");
        return false;
    }
    // Revolution k is on screen at the end of the first paint that shows k revolutions.
    // Each stage for every revolution, then for the steady part and the bursts.
    constexpr int etapes = 6, parties = 3;
    const char* const noms_etapes[etapes] = {
        "total", "lecture", "notification", "jusqu_a_la_requete", "avant_le_chiffre", "peinture"};
    const char* const noms_parties[parties] = {"tout", "80kmh", "salves"};
    std::vector<std::int64_t> duree[parties][etapes];
    std::size_t j = 0, r = 0;
    for (std::size_t k = 0; k < n; ++k) {
        while (j < m.tours_montres.size() && m.tours_montres[j] < static_cast<long>(k + 1))
            ++j;
        if (j == m.tours_montres.size()) {
            journal("ÉCHEC : le tour %zu n'a jamais été peint", k + 1);
            return false;
        }
        // The repaint that painted it: the last one started before its paint.
        while (r + 1 < m.requetes.size() && m.requetes[r + 1] <= m.debuts_peinture[j])
            ++r;
        const std::int64_t requete = m.requetes.empty() || m.requetes[r] > m.debuts_peinture[j]
                                         ? m.debuts_peinture[j]
                                         : std::max(m.requetes[r], remis[k]);
        const std::int64_t d[etapes] = {m.fins_peinture[j] - envois[k],
                                        lus[k] - envois[k],
                                        remis[k] - lus[k],
                                        requete - remis[k],
                                        m.debuts_peinture[j] - requete,
                                        m.fins_peinture[j] - m.debuts_peinture[j]};
        for (int e = 0; e < etapes; ++e) {
            duree[0][e].push_back(d[e]);
            duree[static_cast<long>(k) < reguliers ? 1 : 2][e].push_back(d[e]);
        }
    }
    for (int p = 0; p < parties; ++p)
        imprime("latence", fenetre, noms_parties[p], static_cast<long>(duree[p][0].size()),
                duree[p][0]);
    for (int p = 0; p < parties; ++p)
        for (int e = 1; e < etapes; ++e) {
            const std::string nom = p == 0 ? std::string(noms_etapes[e])
                                           : std::string(noms_etapes[e]) + "_" + noms_parties[p];
            imprime("etape", fenetre, nom.c_str(), static_cast<long>(duree[p][e].size()),
                    duree[p][e]);
        }
    std::fflush(stdout);
    return true;
}
