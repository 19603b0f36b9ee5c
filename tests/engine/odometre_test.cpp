#include "moteur.h"
#include "services_scriptes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// The six digit labels of a register as the crew reads them, hundreds of km first.
std::string lit(const Tlabels_compteur& labels) {
    std::string t;
    for (auto i = labels.rbegin(); i != labels.rend(); ++i)
        t += (*i)->texte();
    return t;
}

class Odometre : public testing::Test {
protected:
    Tservices_scriptes services;
    Tmoteur m{services};

    void etalonne(std::int32_t tours, std::int32_t metres) {
        m.etat.tours_etal = tours;
        m.etat.dist_etal = metres;
    }
    void tours(int n) {
        for (int i = 0; i < n; ++i)
            m.distribue([&] { m.un_tour_de_roue(); });
    }
    void total_a(std::int32_t metres) {
        m.etat.compteur_total.charge_metres(metres);
        m.etat.compteur_total.affiche_chiffres(m.labels_total);
    }
    std::string total() const { return lit(m.labels_total); }
    std::string partiel() const { return lit(m.labels_partiel); }
};

TEST_F(Odometre, DixToursDe1800Sur1000FontExactement18Metres) {
    etalonne(1000, 1800);
    tours(1);
    EXPECT_EQ(total(), "000001");
    EXPECT_EQ(partiel(), "000001");
    EXPECT_EQ(m.etat.cumul_total, 800);
    EXPECT_EQ(m.etat.cumul_partiel, 800);
    tours(9);
    EXPECT_EQ(total(), "000018");
    EXPECT_EQ(partiel(), "000018");
    EXPECT_EQ(m.etat.cumul_total, 0);
    EXPECT_EQ(m.etat.cumul_partiel, 0);
}

TEST_F(Odometre, UnTourPlusCourtQueLeMetreNeCompteRienMaisAfficheQuandMeme) {
    etalonne(540, 100);
    m.la_tot_m.ecrit_texte("?");
    m.la_par_m.ecrit_texte("?");
    tours(1);
    EXPECT_EQ(total(), "000000");
    EXPECT_EQ(partiel(), "000000");
    EXPECT_EQ(m.etat.cumul_total, 100);
    tours(5);
    EXPECT_EQ(total(), "000001");
    EXPECT_EQ(m.etat.cumul_total, 60);
}

TEST_F(Odometre, EnMarcheArriereLeTripReculeDepuisZero) {
    etalonne(1000, 1000);
    m.cb_marche_ar.ecrit_coche(true);
    tours(1);
    EXPECT_EQ(total(), "999999");
    EXPECT_EQ(partiel(), "999999");
    m.cb_marche_ar.ecrit_coche(false);
    tours(2);
    EXPECT_EQ(total(), "000001");
}

TEST_F(Odometre, SansEtalonnageUtilisableUnTourNeCompteRienNiNeLaisseDeDette) {
    struct Cas {
        std::int32_t tours, metres;
    };
    for (const Cas c : {Cas{0, 1000}, Cas{-540, 1000}, Cas{540, -3}}) {
        etalonne(c.tours, c.metres);
        m.etat.cumul_total = 7;
        m.etat.cumul_partiel = 7;
        tours(3);
        EXPECT_EQ(total(), "000000");
        EXPECT_EQ(partiel(), "000000");
        EXPECT_EQ(m.etat.cumul_total, 7);
        EXPECT_EQ(m.etat.cumul_partiel, 7);
        EXPECT_TRUE(services.messages.empty());
    }
    // Back on a real calibration, nothing piled up meanwhile.
    etalonne(1000, 1000);
    tours(1);
    EXPECT_EQ(total(), "000001");
    EXPECT_EQ(m.etat.cumul_total, 7);
}

TEST_F(Odometre, LAccumulateurNeDebordeJamais) {
    etalonne(INT32_MAX, INT32_MAX);
    m.etat.cumul_total = INT32_MAX - 1;
    tours(1);
    EXPECT_EQ(total(), "000001");
    EXPECT_EQ(m.etat.cumul_total, 0);
}

TEST_F(Odometre, UnEtalonnageDesMilliardsDeMetresParTourCompteSansFigerLaFenetre) {
    etalonne(1, INT32_MAX);
    tours(2);
    // 2 x 2 147 483 647 m, modulo the million that the register shows.
    EXPECT_EQ(total(), "967294");
    EXPECT_EQ(partiel(), "967294");
    EXPECT_EQ(m.etat.cumul_total, 0);
}

TEST_F(Odometre, ApresUnEtalonnageAbaisseLeResteCompteDUnCoup) {
    etalonne(1000, 999);
    tours(1);
    EXPECT_EQ(m.etat.cumul_total, 999);
    etalonne(100, 1);
    tours(1);
    EXPECT_EQ(total(), "000010");
    EXPECT_EQ(m.etat.cumul_total, 0);
}

// Counting many metres at once moves a register exactly as that many single steps.
TEST_F(Odometre, DesCentainesDeMetresParTourValentAutantDePasUnitaires) {
    const std::int32_t departs[] = {0, 5, 999'000, 999'999, 1'000'000, 1'050'000, 2'000'001};
    const std::int32_t metres_par_tour[] = {1, 7, 999, 1001, 123'457, 1'000'000, 2'500'000};
    for (bool arriere : {false, true})
        for (std::int32_t depart : departs)
            for (std::int32_t n : metres_par_tour) {
                Tcompteur_distance attendu;
                attendu.charge_metres(depart);
                for (std::int32_t i = 0; i < n; ++i)
                    arriere ? attendu.recule_un_metre() : attendu.avance_un_metre();
                etalonne(1, n);
                m.cb_marche_ar.ecrit_coche(arriere);
                m.etat.cumul_total = 0;
                m.etat.cumul_partiel = 0;
                m.etat.compteur_total.charge_metres(depart);
                tours(1);
                ASSERT_EQ(m.etat.compteur_total, attendu)
                    << depart << (arriere ? " - " : " + ") << n;
            }
}

struct Tcas_2m {
    std::int32_t depart;
    const char* attendu;
};

void PrintTo(const Tcas_2m& c, std::ostream* os) {
    *os << c.depart << " -> " << c.attendu;
}

class Plus2Metres : public Odometre, public testing::WithParamInterface<Tcas_2m> {};
TEST_P(Plus2Metres, AjouteDeuxMetresAuTotal) {
    total_a(GetParam().depart);
    m.distribue([&] { m.ajoute_2_metres(); });
    EXPECT_EQ(total(), GetParam().attendu);
    EXPECT_EQ(partiel(), "000000");
}
INSTANTIATE_TEST_SUITE_P(Odometre, Plus2Metres,
                         testing::Values(Tcas_2m{8, "000010"}, Tcas_2m{99, "000101"},
                                         Tcas_2m{5, "000007"}, Tcas_2m{99'998, "100000"},
                                         Tcas_2m{999'998, "000000"}, Tcas_2m{999'999, "000000"}));

class Moins2Metres : public Odometre, public testing::WithParamInterface<Tcas_2m> {};
TEST_P(Moins2Metres, EnleveDeuxMetresAuTotal) {
    total_a(GetParam().depart);
    m.distribue([&] { m.enleve_2_metres(); });
    EXPECT_EQ(total(), GetParam().attendu);
}
INSTANTIATE_TEST_SUITE_P(Odometre, Moins2Metres,
                         testing::Values(Tcas_2m{0, "000000"}, Tcas_2m{1, "000001"},
                                         Tcas_2m{2, "000000"}, Tcas_2m{1000, "000998"},
                                         Tcas_2m{100'001, "099999"}, Tcas_2m{17, "000015"}));

TEST_F(Odometre, MoinsDeuxMetresSurUnMetreNeReecritAucunLabel) {
    total_a(1);
    int ecritures = 0;
    for (Tmodele_label* l : m.labels_total)
        l->miroir = [&] { ++ecritures; };
    m.la_tot_dixm.ecrit_texte("x"); // a write the operation would have to undo
    ecritures = 0;
    m.distribue([&] { m.enleve_2_metres(); });
    EXPECT_EQ(m.la_tot_dixm.texte(), "x");
    EXPECT_EQ(ecritures, 0);
}

TEST_F(Odometre, PlusEtMoinsDeuxMetresIgnorentLaMarcheArriereEtLePartiel) {
    etalonne(1000, 1800);
    tours(3); // 5 m counted, 400 owed
    m.cb_marche_ar.ecrit_coche(true);
    m.distribue([&] { m.ajoute_2_metres(); });
    EXPECT_EQ(total(), "000007");
    m.distribue([&] { m.enleve_2_metres(); });
    m.distribue([&] { m.enleve_2_metres(); });
    EXPECT_EQ(total(), "000003");
    EXPECT_EQ(partiel(), "000005");
    EXPECT_EQ(m.etat.cumul_total, 400);
}

TEST_F(Odometre, RazDuPartielLaisseLeTotalEtLesAccumulateurs) {
    etalonne(1000, 1800);
    tours(3);
    m.distribue([&] { m.RAZClick(); });
    EXPECT_EQ(partiel(), "000000");
    EXPECT_EQ(total(), "000005");
    EXPECT_EQ(m.etat.cumul_total, 400);
    EXPECT_EQ(m.etat.cumul_partiel, 400);
    // The remainder survives the reset: the next revolution counts two metres.
    tours(1);
    EXPECT_EQ(partiel(), "000002");
}

TEST_F(Odometre, RazDuTripRemetLesAffichagesEtGardeLaCorrection) {
    etalonne(1000, 1800);
    tours(3);
    m.etat.ecart = 12;
    m.etat.ecart_maj = 45;
    m.etat.pourcentage_maj = 22.5;
    m.etat.saisie_maj = "12,3";
    m.la_ecart_maj.ecrit_texte("45");
    m.la_pourcent.ecrit_texte("22,5");
    m.La_moy_en_cours.ecrit_texte("48.50 Kms/h");
    m.distribue([&] { m.raz_tripClick(); });
    EXPECT_EQ(total(), "000000");
    EXPECT_EQ(partiel(), "000000");
    EXPECT_EQ(m.etat.ecart, 0);
    EXPECT_EQ(m.la_ecart_maj.texte(), "0");
    EXPECT_EQ(m.La_moy_en_cours.texte(), "00.00 Kms/h");
    EXPECT_EQ(m.la_pourcent.texte(), "0");
    EXPECT_EQ(m.etat.cumul_total, 400);
    EXPECT_EQ(m.etat.ecart_maj, 45);
    EXPECT_EQ(m.etat.pourcentage_maj, 22.5);
    EXPECT_EQ(m.etat.saisie_maj, "12,3");
}

TEST_F(Odometre, LeSimulateurFaitTournerLaRoueSansToucherLaSonde) {
    etalonne(1000, 2000);
    m.Panel_sonde.ecrit_couleur(Tcouleur::bleu_ciel);
    m.distribue([&] { m.Timer2Timer(); });
    EXPECT_EQ(total(), "000002");
    EXPECT_EQ(m.Panel_sonde.couleur(), Tcouleur::bleu_ciel);
    EXPECT_EQ(m.etat.touche, 0);
}

} // namespace
