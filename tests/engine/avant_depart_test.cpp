// The arithmetic behind the base's measure and the official time, on the cases a crew meets:
// a length with a comma, a file written by any editor, an official clock read at midnight.
#include "avant_depart.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(AvantDepart, la_longueur_tapee_donne_une_paire_entiere_et_exacte) {
    struct Tcas {
        const char* texte;
        std::int64_t tours;
        std::optional<Tpaire_etalonnage> paire;
    };
    const Tcas cas[] = {
        {"1000", 540, Tpaire_etalonnage{540, 1000}},
        {" 1000,0 ", 540, Tpaire_etalonnage{540, 1000}},
        {"1000,5", 540, Tpaire_etalonnage{5400, 10005}},
        {"4999.25", 2679, Tpaire_etalonnage{267900, 499925}},
        {"1000", 0, std::nullopt},        // no revolution counted
        {"0,0", 540, std::nullopt},       // no length
        {"1 000", 540, std::nullopt},     // a blank inside
        {"1000,", 540, std::nullopt},     // a comma and nothing
        {"1000,1234", 540, std::nullopt}, // finer than a millimetre
        {"-1000", 540, std::nullopt},     // a sign
        {"3000000", 3000, Tpaire_etalonnage{3000, 3000000}},
    };
    for (const Tcas& c : cas) {
        const auto base = lit_longueur_base(c.texte);
        const auto p = base ? paire_de_base(c.tours, *base) : std::nullopt;
        EXPECT_EQ(p, c.paire) << c.texte;
    }
    EXPECT_EQ(paire_de_base(3'000'000'000, {1000, 0}), std::nullopt); // beyond 32 bits
    EXPECT_EQ(ecart_dixiemes_pour_mille({540, 1030}, {540, 1000}), -291);
    EXPECT_EQ(ecart_dixiemes_pour_mille({540, 1000}, {5400, 10005}), 5);
}

TEST(AvantDepart, seul_l_emplacement_choisi_change_dans_le_fichier) {
    struct Tcas {
        const char* quoi;
        std::string avant;
        int emplacement;
        std::string apres;
    };
    const Tcas cas[] = {
        {"LF", "541\n1000\n540\n1030\n539\n1000\n", 2, "541\n1000\n555\n1001\n539\n1000\n"},
        {"fins mêlées", "541\r\n1000\n540\r\n1030\n", 2, "541\r\n1000\n555\r\n1001\n"},
        {"sans fin à la dernière", "541\r\n1000\r\n540\r\n1030", 2, "541\r\n1000\r\n555\r\n1001"},
        {"lignes manquantes", "541\r\n1000\r\n", 3,
         "541\r\n1000\r\n555\r\n1001\r\n555\r\n1001\r\n"},
        {"Ctrl-Z",
         "541\n1000\x1a"
         "540\n",
         2,
         "541\n1000\n555\n1001\n\x1a"
         "540\n"},
        {"vide", "", 1, "555\n1001\n"},
    };
    for (const Tcas& c : cas)
        EXPECT_EQ(remplace_emplacement(c.avant, c.emplacement, {555, 1001}), c.apres) << c.quoi;
}

TEST(AvantDepart, l_heure_officielle_donne_le_decalage_au_dixieme) {
    constexpr std::int64_t h = 3'600'000, m = 60'000;
    struct Tcas {
        const char* texte;
        std::int64_t maintenant_ms;
        std::optional<std::int32_t> dixiemes;
    };
    const Tcas cas[] = {
        {"10:15", 10 * h + 15 * m + 2'300, -23}, // the computer is 2,3 s ahead
        {"10:15", 10 * h + 14 * m + 58'760, 12}, // 1,24 s behind: to the nearest tenth
        {"00:00", 23 * h + 59 * m + 59'000, 10}, // across midnight, the short way
        {"23:59", 30'000, -900},
        {"-2,3", 0, -23},
        {"+1.5", 0, 15},
        {"4", 0, 40},
        {"10:5", 0, std::nullopt},
        {"24:00", 0, std::nullopt},
        {"-2,35", 0, std::nullopt},
        {"", 0, std::nullopt},
    };
    for (const Tcas& c : cas)
        EXPECT_EQ(decalage_officiel(c.texte, c.maintenant_ms), c.dixiemes) << c.texte;
}
