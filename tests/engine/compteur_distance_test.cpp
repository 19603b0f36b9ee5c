#include "compteur_distance.h"
#include "controles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

Tcompteur_distance registre(std::int32_t metres) {
    Tcompteur_distance c;
    c.charge_metres(metres);
    return c;
}

// The six digits as the crew reads them, hundreds of km first.
std::string chiffres(const Tcompteur_distance& c) {
    return std::to_string(c.centkilom) + std::to_string(c.dixkilom) + std::to_string(c.kilom) +
           std::to_string(c.centm) + std::to_string(c.dixm) + std::to_string(c.m);
}

struct Tpas {
    std::int32_t depart;
    const char* attendu;
};

void PrintTo(const Tpas& p, std::ostream* os) {
    *os << p.depart << " -> " << p.attendu;
}

class UnMetreEnAvant : public testing::TestWithParam<Tpas> {};
TEST_P(UnMetreEnAvant, PorteLaRetenue) {
    Tcompteur_distance c = registre(GetParam().depart);
    c.avance_un_metre();
    EXPECT_EQ(chiffres(c), GetParam().attendu);
}
INSTANTIATE_TEST_SUITE_P(Compteur, UnMetreEnAvant,
                         testing::Values(Tpas{0, "000001"}, Tpas{9, "000010"},
                                         Tpas{99'999, "100000"}, Tpas{909'999, "910000"},
                                         Tpas{999'999, "000000"}));

class UnMetreEnArriere : public testing::TestWithParam<Tpas> {};
TEST_P(UnMetreEnArriere, EmprunteAuChiffreSuivant) {
    Tcompteur_distance c = registre(GetParam().depart);
    c.recule_un_metre();
    EXPECT_EQ(chiffres(c), GetParam().attendu);
}
INSTANTIATE_TEST_SUITE_P(Compteur, UnMetreEnArriere,
                         testing::Values(Tpas{100, "000099"}, Tpas{1, "000000"},
                                         Tpas{100'000, "099999"}, Tpas{0, "999999"}));

TEST(Compteur, UnRegistreQuiLit012345Vaut12345Metres) {
    Tcompteur_distance c;
    c.dixkilom = 1;
    c.kilom = 2;
    c.centm = 3;
    c.dixm = 4;
    c.m = 5;
    EXPECT_EQ(c.valeur_en_metres(), 12345);
}

TEST(Compteur, ChaqueDistanceChargeeSeRelitAuMetrePres) {
    for (std::int32_t v = 0; v <= 999'999; ++v) {
        const Tcompteur_distance c = registre(v);
        ASSERT_EQ(c.valeur_en_metres(), v);
        ASSERT_TRUE(c.centkilom >= 0 && c.centkilom <= 9) << v;
    }
}

TEST(Compteur, ChargerPoseLesChiffresUnParUn) {
    EXPECT_EQ(chiffres(registre(0)), "000000");
    EXPECT_EQ(chiffres(registre(999'999)), "999999");
    EXPECT_EQ(chiffres(registre(100)), "000100");
    EXPECT_EQ(chiffres(registre(40'702)), "040702");
}

TEST(Compteur, UneDistanceNegativeChargeZero) {
    Tcompteur_distance c = registre(5'432);
    c.charge_metres(-1);
    EXPECT_EQ(chiffres(c), "000000");
    c.charge_metres(INT32_MIN);
    EXPECT_EQ(c.valeur_en_metres(), 0);
}

TEST(Compteur, AuDelaDeMilleKmLesCentainesDeKmDepassentNeuf) {
    Tcompteur_distance c = registre(1'000'000);
    EXPECT_EQ(c.centkilom, 10);
    EXPECT_EQ(c.valeur_en_metres(), 1'000'000);
    EXPECT_EQ(c.m + c.dixm + c.centm + c.kilom + c.dixkilom, 0);
    // The carry test is equality with ten: the oversized top digit just grows.
    c.charge_metres(1'099'999);
    c.avance_un_metre();
    EXPECT_EQ(c.centkilom, 11);
    EXPECT_EQ(c.valeur_en_metres(), 1'100'000);
    // Moving back from exactly 1 000 000 ends in the ordinary range.
    c.charge_metres(1'000'000);
    c.recule_un_metre();
    EXPECT_EQ(chiffres(c), "999999");
    c = registre(INT32_MAX);
    EXPECT_EQ(c.valeur_en_metres(), INT32_MAX);
}

TEST(Compteur, RemettreAZeroNeToucheQueLesChiffres) {
    Tcompteur_distance c = registre(123'456);
    c.remet_a_zero();
    EXPECT_EQ(c, Tcompteur_distance{});
}

TEST(Compteur, AfficherEcritChaqueChiffreDansSonLabel) {
    Tmodele_label m, dixm, centm, kilom, dixkilom, centkilom;
    const Tlabels_compteur labels{&m, &dixm, &centm, &kilom, &dixkilom, &centkilom};
    registre(1'204'560).affiche_chiffres(labels);
    EXPECT_EQ(centkilom.texte(), "12");
    EXPECT_EQ(dixkilom.texte(), "0");
    EXPECT_EQ(kilom.texte(), "4");
    EXPECT_EQ(centm.texte(), "5");
    EXPECT_EQ(dixm.texte(), "6");
    EXPECT_EQ(m.texte(), "0");
}

} // namespace
