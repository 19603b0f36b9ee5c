// 24 hours of ticks with a validated zone, the cadenceur on and the car at a steady
// 80 km/h through midnight: the trip ends exact to the metre and nothing grows.
#include "moteur.h"
#include "services_scriptes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long long> octets_vivants{0};

} // namespace

// Live bytes of the whole binary, the size kept in front of each block.
void* operator new(std::size_t taille) {
    auto* p = static_cast<std::size_t*>(std::malloc(taille + sizeof(std::max_align_t)));
    if (!p) throw std::bad_alloc();
    *p = taille;
    octets_vivants += static_cast<long long>(taille);
    return reinterpret_cast<char*>(p) + sizeof(std::max_align_t);
}
void operator delete(void* p) noexcept {
    if (!p) return;
    auto* debut = reinterpret_cast<std::size_t*>(static_cast<char*>(p) - sizeof(std::max_align_t));
    octets_vivants -= static_cast<long long>(*debut);
    std::free(debut);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

TEST(Endurance, UneJourneeEntiereAQuatreVingtKmhTombeJusteAuMetre) {
    Trepertoire_temporaire repertoire;
    repertoire.ecrit("etalonnage.txt", "540\r\n1000\r\n541\r\n1000\r\n539\r\n1000\r\n");
    Tservices_scriptes s;
    s.repertoire = repertoire.chemin();
    // The day runs from 22:00:00 to 22:00:00 the next day. The zone starts at 10:30:00: it
    // runs from the first tick until midnight, rests, and runs again from 10:30 to the end.
    std::int32_t horloge = 22 * 36000;
    s.regle_dixiemes(horloge);
    Tmoteur m(s);
    m.distribue([&] { m.demarrage(); });
    ASSERT_EQ(m.etat.tours_etal, 540);
    ASSERT_EQ(m.etat.dist_etal, 1000);
    m.cb_heure_zr.ecrit_texte("10");
    m.cb_min_zr.ecrit_texte("30");
    m.cb_sec_zr.ecrit_texte("00");
    m.memo_kms.ecrit_lignes({"50.000", "120.5", "2000"});
    m.memo_moy.ecrit_lignes({"80", "72,5", "80"});
    m.distribue([&] { m.valid_heure_zrClick(); });
    ASSERT_TRUE(m.cad_on.coche());
    ASSERT_TRUE(s.messages.empty());

    // 80 km/h over 1000 m per 540 revolutions: 12 revolutions a second, 6 every 5 ticks.
    constexpr std::int32_t ticks = 864000;
    long long tours = 0;
    long long octets_apres_une_heure = 0;
    // Time of the first and of the last hour, printed for the record: machines here are
    // shared, so it is reported, never asserted.
    using horloge_murale = std::chrono::steady_clock;
    horloge_murale::time_point debut = horloge_murale::now();
    double premiere_heure_s = 0;
    for (std::int32_t k = 1; k <= ticks; ++k) {
        const long long dus = static_cast<long long>(k) * 6 / 5;
        for (; tours < dus; ++tours)
            m.distribue([&] { m.un_tour_de_roue(); });
        horloge = (horloge + 1) % 864000;
        s.regle_dixiemes(horloge);
        m.distribue([&] { m.Timer1Timer(); });
        if (k == 36000) {
            octets_apres_une_heure = octets_vivants.load();
            premiere_heure_s = std::chrono::duration<double>(horloge_murale::now() - debut).count();
        }
        if (k == ticks - 36000) debut = horloge_murale::now();
    }
    const double derniere_heure_s =
        std::chrono::duration<double>(horloge_murale::now() - debut).count();
    std::printf("Temps par top (tours compris) : première heure %.0f ns, dernière heure %.0f ns\n",
                premiere_heure_s / 36000 * 1e9, derniere_heure_s / 36000 * 1e9);

    EXPECT_TRUE(s.messages.empty());
    EXPECT_EQ(tours, 1036800);
    const std::int32_t attendu = static_cast<std::int32_t>(tours * 1000 / 540 % 1000000);
    EXPECT_EQ(m.etat.compteur_total.valeur_en_metres(), attendu);
    EXPECT_EQ(m.etat.compteur_partiel.valeur_en_metres(), attendu);
    // The gap is what the two registers say.
    const std::int32_t t = m.etat.compteur_total.valeur_en_metres();
    const std::int32_t c = m.etat.compteur_cadenceur.valeur_en_metres();
    EXPECT_EQ(m.etat.dixiemes_ecoules, 414000);
    EXPECT_GT(c, 0);
    EXPECT_EQ(m.etat.ecart, t > c ? t - c : c - t);
    // A whole day later the engine holds no more memory than after its first hour.
    EXPECT_LE(octets_vivants.load(), octets_apres_une_heure + 1024);
}
