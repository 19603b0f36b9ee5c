#include "format_pourcentage.h"
#include "moteur.h"
#include "services_scriptes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

const std::string entree_vide = "............";
const std::string erreur_saisie = "ERREUR de SAISIE";

std::string lit(const Tlabels_compteur& labels) {
    std::string t;
    for (auto i = labels.rbegin(); i != labels.rend(); ++i)
        t += (*i)->texte();
    return t;
}

class Clavier : public testing::Test {
protected:
    Tservices_scriptes services;
    Tmoteur m{services};

    // Keys as the box sends them: a code, then the keypad logic.
    void touches(std::initializer_list<std::int32_t> codes) {
        for (std::int32_t c : codes) {
            m.etat.touche = c;
            m.distribue([&] { m.mise_a_jour_trip_clavier(); });
        }
    }
    void bouton_rouge() { touches({16}); }
    void trip(std::int32_t total, std::int32_t partiel) {
        m.etat.compteur_total.charge_metres(total);
        m.etat.compteur_total.affiche_chiffres(m.labels_total);
        m.etat.compteur_partiel.charge_metres(partiel);
        m.etat.compteur_partiel.affiche_chiffres(m.labels_partiel);
    }
    std::string total() const { return lit(m.labels_total); }
    std::string partiel() const { return lit(m.labels_partiel); }
};

TEST_F(Clavier, UnQuatriemeChiffreAvantLaVirguleEstIgnore) {
    touches({1, 2, 3, 4});
    EXPECT_EQ(m.la_maj_trip.texte(), "123");
    EXPECT_EQ(m.etat.nbr_chiffres_avant, 3);
}

TEST_F(Clavier, TroisDecimalesAuPlus) {
    touches({1, 10, 5, 6, 7, 8});
    EXPECT_EQ(m.la_maj_trip.texte(), "1,567");
    EXPECT_EQ(m.etat.saisie_maj, "1,567");
    EXPECT_EQ(m.etat.nbr_chiffres_apres, 3);
}

TEST_F(Clavier, LaVirguleDAbordPuisUneSecondeIgnoree) {
    touches({10});
    EXPECT_EQ(m.la_maj_trip.texte(), ",");
    touches({10, 0, 0});
    EXPECT_EQ(m.la_maj_trip.texte(), ",00");
    EXPECT_TRUE(m.etat.virgule_saisie);
}

TEST_F(Clavier, LesZerosEnTeteRestentDansLeTexte) {
    touches({0, 0, 7});
    EXPECT_EQ(m.la_maj_trip.texte(), "007");
}

TEST_F(Clavier, LaToucheEcranPointTapeUneVirgule) {
    m.distribue([&] { m.Button6Click(); });
    m.distribue([&] { m.Button15Click(); });
    m.distribue([&] { m.Button14Click(); });
    EXPECT_EQ(m.la_maj_trip.texte(), "1,9");
    EXPECT_EQ(m.etat.touche, 9);
}

TEST_F(Clavier, CEffaceLaSaisie) {
    touches({4, 10, 2, 11});
    EXPECT_EQ(m.la_maj_trip.texte(), entree_vide);
    EXPECT_EQ(m.etat.saisie_maj, "");
    EXPECT_FALSE(m.etat.virgule_saisie);
    EXPECT_EQ(m.etat.nbr_chiffres_avant, 0);
    EXPECT_EQ(m.etat.nbr_chiffres_apres, 0);
    m.distribue([&] { m.Button16Click(); });
    EXPECT_EQ(m.la_maj_trip.texte(), entree_vide);
}

TEST_F(Clavier, LesAutresCodesNeFontRien) {
    trip(1234, 567);
    touches({1});
    for (std::int32_t code : {-1, 17, 48, 255})
        touches({code});
    EXPECT_EQ(m.la_maj_trip.texte(), "1");
    EXPECT_EQ(total(), "001234");
    EXPECT_EQ(partiel(), "000567");
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(Clavier, PlusEtMoinsDeuxMetresNeTouchentPasLaSaisie) {
    trip(100, 0);
    touches({5, 12, 12, 13});
    EXPECT_EQ(total(), "000102");
    EXPECT_EQ(m.la_maj_trip.texte(), "5");
    m.distribue([&] { m.Button3Click(); });
    m.distribue([&] { m.Button4Click(); });
    m.distribue([&] { m.Button4Click(); });
    EXPECT_EQ(total(), "000100");
}

TEST_F(Clavier, LaMiseAJourChargeLeTotalEtMontreLaCorrection) {
    trip(12'300, 2'000);
    m.etat.cumul_total = 7;
    touches({1, 2, 10, 3, 4, 5});
    bouton_rouge();
    EXPECT_EQ(total(), "012345");
    EXPECT_EQ(m.etat.valeur_saisie_m, 12'345);
    EXPECT_EQ(m.etat.ecart_maj, 45);
    EXPECT_EQ(m.la_ecart_maj.texte(), "45");
    EXPECT_DOUBLE_EQ(m.etat.pourcentage_maj, 22.5);
    EXPECT_EQ(m.la_pourcent.texte(), "22,5");
    EXPECT_EQ(partiel(), "000000");
    EXPECT_EQ(m.la_maj_trip.texte(), entree_vide);
    EXPECT_EQ(m.etat.saisie_maj, "");
    EXPECT_FALSE(m.etat.virgule_saisie);
    EXPECT_EQ(m.etat.nbr_chiffres_avant, 0);
    EXPECT_EQ(m.etat.nbr_chiffres_apres, 0);
    EXPECT_EQ(m.etat.cumul_total, 7); // the part of a metre not yet counted stays owed
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(Clavier, LaCorrectionRelativePrendLeSeparateurDeLUtilisateur) {
    services.separateur = ".";
    trip(12'300, 2'000);
    touches({1, 2, 10, 3, 4, 5});
    // The keypad always types ","; with "." as separator that entry cannot convert.
    bouton_rouge();
    EXPECT_EQ(services.messages, std::vector<std::string>{erreur_saisie});
    services.messages.clear();
    touches({11, 1, 2});
    m.etat.compteur_partiel.charge_metres(2'000);
    m.la_maj_trip.ecrit_texte("12.345");
    bouton_rouge();
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(m.la_pourcent.texte(), "22.5");
}

TEST_F(Clavier, AuDelaDeTrentePourMilleLaCorrectionSAfficheEnPoints) {
    trip(12'300, 1'000);
    touches({1, 2, 10, 3, 4, 5});
    bouton_rouge();
    EXPECT_DOUBLE_EQ(m.etat.pourcentage_maj, 45.0);
    EXPECT_EQ(m.la_pourcent.texte(), "...");
}

TEST_F(Clavier, UneDistanceTapeeSousLeTotalDonneUneCorrectionNegativeToujoursChiffree) {
    trip(12'300, 1'000);
    touches({1, 2});
    bouton_rouge();
    EXPECT_EQ(m.etat.ecart_maj, -300);
    EXPECT_EQ(m.la_ecart_maj.texte(), "-300");
    EXPECT_DOUBLE_EQ(m.etat.pourcentage_maj, -300.0);
    EXPECT_EQ(m.la_pourcent.texte(), "-300,0");
    EXPECT_EQ(total(), "012000");
}

TEST_F(Clavier, AvecUnPartielNulLaCorrectionRelativeResteCeQuElleEtait) {
    m.la_pourcent.ecrit_texte("1,5");
    m.etat.pourcentage_maj = 1.5;
    trip(500, 0);
    touches({1});
    bouton_rouge();
    EXPECT_EQ(total(), "001000");
    EXPECT_EQ(m.la_ecart_maj.texte(), "500");
    EXPECT_EQ(m.la_pourcent.texte(), "1,5");
    EXPECT_EQ(m.etat.pourcentage_maj, 1.5);
}

TEST_F(Clavier, LeBoutonRougeSansSaisieNeRemetQueLePartielAZero) {
    trip(12'300, 2'000);
    m.etat.cumul_total = 7;
    bouton_rouge();
    EXPECT_EQ(total(), "012300");
    EXPECT_EQ(partiel(), "000000");
    EXPECT_EQ(m.la_ecart_maj.texte(), "0");
    EXPECT_EQ(m.la_pourcent.texte(), "0");
    EXPECT_EQ(m.etat.cumul_total, 7);
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(Clavier, UneVirguleSeuleChargeZeroMetre) {
    trip(12'300, 2'000);
    touches({10});
    bouton_rouge();
    EXPECT_EQ(total(), "000000");
    EXPECT_EQ(m.etat.ecart_maj, -12'300);
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(Clavier, UnMilliemeDeKilometreFaitUnMetre) {
    touches({0, 10, 0, 0, 1});
    bouton_rouge();
    EXPECT_EQ(total(), "000001");
    touches({9, 9, 9, 10, 9, 9, 9});
    bouton_rouge();
    EXPECT_EQ(total(), "999999");
    touches({4, 10, 3, 5});
    bouton_rouge();
    EXPECT_EQ(total(), "004350");
}

TEST_F(Clavier, UneSaisieRefuseeMontreErreurPuisZeroEtGardeLeTotal) {
    services.separateur = ".";
    trip(12'300, 2'000);
    m.etat.ecart_maj = 45;
    m.la_ecart_maj.ecrit_texte("45");
    m.la_pourcent.ecrit_texte("22,5");
    std::string vu_pendant_la_boite, entree_pendant_la_boite;
    services.pendant_message = [&](const std::string&) {
        vu_pendant_la_boite = partiel();
        entree_pendant_la_boite = m.la_maj_trip.texte();
    };
    touches({1, 10, 5});
    bouton_rouge();
    EXPECT_EQ(services.messages, std::vector<std::string>{erreur_saisie});
    EXPECT_EQ(m.la_maj_trip.texte(), "0");
    EXPECT_EQ(m.etat.saisie_maj, "");
    EXPECT_EQ(total(), "012300");
    EXPECT_EQ(partiel(), "000000");
    EXPECT_EQ(vu_pendant_la_boite, "002000");  // PARTIEL is reset once the box is closed
    EXPECT_EQ(entree_pendant_la_boite, "1,5"); // the entry is emptied after it, too
    EXPECT_EQ(m.etat.ecart_maj, 45);
    EXPECT_EQ(m.la_ecart_maj.texte(), "45");
    EXPECT_EQ(m.la_pourcent.texte(), "22,5");
    // The flag and the counts stay until "C" or a successful update.
    EXPECT_TRUE(m.etat.virgule_saisie);
    EXPECT_EQ(m.etat.nbr_chiffres_avant, 1);
    EXPECT_EQ(m.etat.nbr_chiffres_apres, 1);
}

TEST_F(Clavier, ApresUneErreurLeBoutonRougeChargeZero) {
    services.separateur = ".";
    trip(12'300, 0);
    touches({1, 10, 5});
    bouton_rouge();
    services.messages.clear();
    bouton_rouge();
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(total(), "000000");
    EXPECT_EQ(m.la_maj_trip.texte(), entree_vide);
    EXPECT_FALSE(m.etat.virgule_saisie);
}

TEST_F(Clavier, ApresUneErreurLesChiffresGardentLEtatDAvant) {
    services.separateur = ".";
    touches({1, 10, 5, 16});
    // The comma was typed before the error: digits count as decimals, a comma is refused.
    touches({7, 7, 10, 7});
    EXPECT_EQ(m.la_maj_trip.texte(), "77");
    EXPECT_EQ(m.etat.nbr_chiffres_apres, 3);
    touches({11, 10});
    EXPECT_EQ(m.la_maj_trip.texte(), ",");
}

TEST_F(Clavier, LeCarreRougeEcranFaitLaMiseAJour) {
    trip(0, 300);
    touches({2});
    m.distribue([&] { m.Panel8Click(); });
    EXPECT_EQ(total(), "002000");
    EXPECT_EQ(partiel(), "000000");
    EXPECT_EQ(m.etat.touche, 16);
}

TEST_F(Clavier, UnTotalAuDelaDeMilleKmResteSansDebordement) {
    trip(INT32_MAX, 1);
    touches({1});
    bouton_rouge();
    EXPECT_EQ(m.etat.ecart_maj, 1000 - INT32_MAX);
    EXPECT_EQ(m.la_pourcent.texte(), "-2147482647000,0");
}

struct Tcas_pourcent {
    std::int32_t ecart;
    std::int32_t partiel;
    const char* attendu;
};

void PrintTo(const Tcas_pourcent& c, std::ostream* os) {
    *os << c.ecart << " / " << c.partiel << " -> " << c.attendu;
}

class CorrectionRelative : public testing::TestWithParam<Tcas_pourcent> {};
TEST_P(CorrectionRelative, SAfficheAuDixiemeArrondiLoinDeZero) {
    EXPECT_EQ(texte_correction_relative(GetParam().ecart, GetParam().partiel, ","),
              GetParam().attendu)
        << GetParam().ecart << " / " << GetParam().partiel;
}
INSTANTIATE_TEST_SUITE_P(
    Clavier, CorrectionRelative,
    testing::Values(Tcas_pourcent{45, 2000, "22,5"}, Tcas_pourcent{30, 1000, "30,0"},
                    Tcas_pourcent{30'001, 1'000'000, "..."}, Tcas_pourcent{31, 1000, "..."},
                    Tcas_pourcent{1, 1000, "1,0"}, Tcas_pourcent{0, 5, "0,0"},
                    // exactly halfway between two tenths: away from zero, on both sides
                    Tcas_pourcent{89, 4000, "22,3"}, Tcas_pourcent{-89, 4000, "-22,3"},
                    Tcas_pourcent{1, 20'000, "0,1"}, Tcas_pourcent{-1, 20'000, "-0,1"},
                    // just below halfway
                    Tcas_pourcent{1, 20'001, "0,0"},
                    // rounding to zero from below shows no minus sign
                    Tcas_pourcent{-1, 30'000, "0,0"}, Tcas_pourcent{-1, 999'999, "0,0"},
                    Tcas_pourcent{-2, 3, "-666,7"}, Tcas_pourcent{2, 3, "..."},
                    Tcas_pourcent{-999'999, 1, "-999999000,0"},
                    Tcas_pourcent{INT32_MIN, 1, "-2147483648000,0"}));

} // namespace
