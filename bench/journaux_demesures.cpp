// Writes the crafted journals of the bounded-work tests into DOSSIER, at the sizes the issue
// that asked for the bounds measured them, for velmora-journal to be timed and weighed on.
// Usage: journaux_demesures DOSSIER
#include "journaux_demesures.h"

#include <cstdio>
#include <fstream>

namespace {

void ecrit(const std::string& dossier, const char* nom, const std::string& octets) {
    std::ofstream(dossier + "/" + nom, std::ios::binary) << octets;
    std::printf("%s : %zu octets\n", nom, octets.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage : journaux_demesures DOSSIER\n");
        return 2;
    }
    const std::string d = argv[1];
    Trepertoire_temporaire rep;
    constexpr std::size_t mio = 1 << 20;
    ecrit(d, "separateur_50k.journal", journal_separateur_long(rep, 50'000, 50'000));
    ecrit(d, "separateur_200k.journal", journal_separateur_long(rep, 200'000, 200'000));
    ecrit(d, "moyenne_16m_300s.journal", journal_moyenne_longue(rep, 16 * mio - 64, 300));
    ecrit(d, "moyenne_16m_10000s.journal", journal_moyenne_longue(rep, 16 * mio - 64, 10'000));
    ecrit(d, "rallye_15m_100000.journal", journal_rallye_long(rep, 15 * mio, 1, 100'000));
    ecrit(d, "rallye_196x8k_100000.journal", journal_rallye_long(rep, 8192, 196, 100'000));
    ecrit(d, "rallye_196x8k_alterne_100000.journal",
          journal_rallye_long(rep, 8192, 196, 100'000, true));
    ecrit(d, "zones_partagees_30000.journal", journal_zones_partagees(rep, 30'000));
    ecrit(d, "distance_16m_10000.journal", journal_distance_longue(rep, 16 * mio - 64, 10'000));
    ecrit(d, "distance_16m_erreur_10000.journal",
          journal_distance_longue(rep, 16 * mio - 64, 10'000, false));
    ecrit(d, "cent_zones.journal", journal_titre_long(rep, 16, 100));
    ecrit(d, "titre_16m_100.journal", journal_titre_long(rep, 16 * mio - 64, 100));
    ecrit(d, "minimales_128m.journal", journal_lignes_minimales(128 * mio - 1));
    return 0;
}
