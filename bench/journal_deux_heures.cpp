// Records the journal of a two-hour zone as the window would: 72,000 clock ticks, the car at
// 80 km/h on the box (86,400 wheel revolutions), a trip correction every 10 km. scripts/bench
// replays it and draws it with velmora-journal.
// Usage: journal_deux_heures JOURNAL
#include "parcours_enregistre.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage : journal_deux_heures JOURNAL\n");
        return 2;
    }
    std::filesystem::remove(argv[1]);
    Trepertoire_temporaire rep;
    rep.ecrit("etalonnage.txt", "540\n1000\n541\n1000\n539\n1000\n");
    Tparcours_enregistre p(argv[1], rep.chemin(), 8 * 36000 + 59 * 600);
    p.branche_boitier();
    p.tape("memo_kms", "40,000\n90,000\n170,000");
    p.tape("memo_moy", "78,5\n82\n80");
    p.tape("cb_heure_zr", "09");
    p.tape("cb_min_zr", "00");
    p.tape("cb_sec_zr", "00");
    p.clic("valid_heure_zr");
    p.roule(60, 0);
    for (int km10 = 0; km10 < 16; ++km10) {
        p.roule(450, km10 % 2 ? 81.5 : 78.5);
        p.touches({static_cast<std::uint8_t>(km10 + 1 >= 10 ? (km10 + 1) / 10 : 0),
                   static_cast<std::uint8_t>((km10 + 1) % 10), 0, 10, 0, 16});
    }
    p.termine();
    return 0;
}
