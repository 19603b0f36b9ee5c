#include "moteur.h"
#include "services_scriptes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

const std::string fichier_absent = "Le fichier ETALONNAGE est inexistant ... Creez-le !!!";
const std::string valeurs_erronees = "Les valeurs semblent erronnées !";
const std::string exemple = "540\r\n1000\r\n541\r\n1000\r\n539\r\n1000\r\n";

class Etalonnage : public testing::Test {
protected:
    Trepertoire_temporaire rep;
    Tservices_scriptes services;
    Tmoteur m{services};

    Etalonnage() { services.repertoire = rep.chemin(); }

    void fichier(const std::string& octets) { rep.ecrit("etalonnage.txt", octets); }
    void demarre() {
        m.distribue([&] { m.demarrage(); });
    }
    void choisit(const std::string& texte) {
        m.cb_num_etal.ecrit_texte(texte);
        m.distribue([&] { m.lire_donnee_etalonnage(); });
    }
    void plus() {
        m.distribue([&] { m.plus_etalClick(); });
    }
    void moins() {
        m.distribue([&] { m.moins_etalClick(); });
    }
};

TEST_F(Etalonnage, LeFichierDExempleDonne1000mEt540TrsAuDemarrage) {
    fichier(exemple);
    demarre();
    EXPECT_EQ(m.lb_dist_etal.texte(), "1000 m");
    EXPECT_EQ(m.lb_tours_roue.texte(), "540 Trs");
    EXPECT_EQ(m.etat.tours_etal, 540);
    EXPECT_EQ(m.etat.dist_etal, 1000);
    EXPECT_EQ(m.etat.pas_correction, 1);
    EXPECT_EQ(m.etat.num_etal, 0);
    EXPECT_EQ(m.etat.circonference_cm, 0);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(m.Memo_copie.lignes(),
              (std::vector<std::string>{"540", "1000", "541", "1000", "539", "1000"}));
}

TEST_F(Etalonnage, ChoisirUnPuisCorrigerPuisChoisirDeuxEtUnRendLaDistanceDuFichier) {
    fichier(exemple);
    demarre();
    choisit("1");
    EXPECT_EQ(m.etat.pas_correction, 10);
    EXPECT_EQ(m.lb_correction.texte(), "0");
    EXPECT_EQ(m.lb_dist_etal.couleur(), Tcouleur::degrade_legende_inactive);
    EXPECT_EQ(m.etat.circonference_cm, 185);
    EXPECT_TRUE(services.messages.empty());
    plus();
    plus();
    plus();
    EXPECT_EQ(m.lb_dist_etal.texte(), "1030");
    EXPECT_EQ(m.lb_correction.texte(), "3");
    choisit("2");
    EXPECT_EQ(m.lb_tours_roue.texte(), "541 Trs");
    EXPECT_EQ(m.etat.tours_etal, 541);
    choisit("1");
    EXPECT_EQ(m.lb_dist_etal.texte(), "1000 m");
    EXPECT_EQ(m.etat.dist_etal, 1000);
    EXPECT_EQ(m.etat.nbr_correction, 0);
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(Etalonnage, UnPasEnHautAuDemarrageMontre1001SurFondRouge) {
    fichier(exemple);
    demarre();
    plus();
    EXPECT_EQ(m.lb_dist_etal.texte(), "1001");
    EXPECT_EQ(m.lb_dist_etal.couleur(), Tcouleur::rouge);
    EXPECT_EQ(m.lb_correction.texte(), "1");
    EXPECT_EQ(m.etat.tours_etal, 540);
    EXPECT_EQ(m.etat.pas_correction, 1);
}

TEST_F(Etalonnage, UnPasEnHautPuisEnBasRendLaDistanceEnChiffreNu) {
    fichier(exemple);
    demarre();
    plus();
    moins();
    EXPECT_EQ(m.lb_dist_etal.texte(), "1000");
    EXPECT_EQ(m.lb_correction.texte(), "0");
    EXPECT_EQ(m.lb_dist_etal.couleur(), Tcouleur::degrade_legende_inactive);
    moins();
    EXPECT_EQ(m.lb_correction.texte(), "-1");
    EXPECT_EQ(m.lb_dist_etal.couleur(), Tcouleur::rouge);
    EXPECT_EQ(m.etat.dist_etal, 999);
}

struct Tcas_circonference {
    const char* tours;
    const char* metres;
    std::int32_t circonference;
    bool alerte;
};

void PrintTo(const Tcas_circonference& c, std::ostream* os) {
    *os << c.metres << " m / " << c.tours << " Trs";
}

class Plausibilite : public Etalonnage, public testing::WithParamInterface<Tcas_circonference> {};
TEST_P(Plausibilite, UneCirconferenceHorsDe135A220EstSignalee) {
    fichier(std::string(GetParam().tours) + "\n" + GetParam().metres + "\n");
    choisit("1");
    EXPECT_EQ(m.etat.circonference_cm, GetParam().circonference);
    EXPECT_EQ(services.messages, GetParam().alerte ? std::vector<std::string>{valeurs_erronees}
                                                   : std::vector<std::string>{});
    // Reported, and used all the same.
    EXPECT_EQ(m.lb_dist_etal.texte(), std::string(GetParam().metres) + " m");
}
INSTANTIATE_TEST_SUITE_P(Etalonnage, Plausibilite,
                         testing::Values(Tcas_circonference{"454", "1000", 220, false},
                                         Tcas_circonference{"453", "1000", 220, false},
                                         Tcas_circonference{"452", "1000", 221, true},
                                         Tcas_circonference{"740", "1000", 135, false},
                                         Tcas_circonference{"741", "1000", 134, true},
                                         Tcas_circonference{"-540", "1000", -185, true},
                                         Tcas_circonference{"1", "2147483647", INT32_MAX, true},
                                         Tcas_circonference{"-1", "2147483647", INT32_MIN, true},
                                         Tcas_circonference{"1", "-2147483648", INT32_MIN, true},
                                         Tcas_circonference{"540", "0", 0, true}));

TEST_F(Etalonnage, UnFichierAbsentAuDemarrageLaisseLEtalonnageAZero) {
    demarre();
    EXPECT_EQ(services.messages, std::vector<std::string>{fichier_absent});
    EXPECT_EQ(m.lb_dist_etal.texte(), "0000 m");
    EXPECT_EQ(m.lb_tours_roue.texte(), "0000 Trs");
    EXPECT_EQ(m.etat.tours_etal, 0);
    EXPECT_EQ(m.etat.dist_etal, 0);
    EXPECT_EQ(m.etat.pas_correction, 0);
    EXPECT_EQ(m.Memo_copie.nombre(), 0u);
}

TEST_F(Etalonnage, UnFichierDisparuGardeLEtalonnageEnCours) {
    fichier(exemple);
    demarre();
    choisit("1");
    plus();
    std::filesystem::remove(rep.chemin() + "etalonnage.txt");
    choisit("2");
    EXPECT_EQ(services.messages, std::vector<std::string>{fichier_absent});
    EXPECT_EQ(m.etat.dist_etal, 1010);
    EXPECT_EQ(m.etat.nbr_correction, 1);
    EXPECT_EQ(m.lb_dist_etal.texte(), "1010");
    EXPECT_EQ(m.lb_dist_etal.couleur(), Tcouleur::rouge);
    EXPECT_EQ(m.Memo_copie.nombre(), 0u);
}

TEST_F(Etalonnage, UnChoixHorsDeUnATroisGardeLaDistanceCorrigee) {
    fichier(exemple);
    demarre();
    choisit("1");
    plus();
    plus();
    choisit("4");
    EXPECT_EQ(m.etat.num_etal, 4);
    EXPECT_EQ(m.etat.dist_etal, 1020);
    EXPECT_EQ(m.lb_dist_etal.texte(), "1020");
    EXPECT_EQ(m.etat.nbr_correction, 0);
    EXPECT_EQ(m.lb_correction.texte(), "0");
    EXPECT_EQ(m.lb_dist_etal.couleur(), Tcouleur::degrade_legende_inactive);
    EXPECT_EQ(m.etat.pas_correction, 10);
    EXPECT_EQ(m.etat.circonference_cm, 188);
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(Etalonnage, UnSelecteurVideRelitLeFichierPuisSignaleLErreurDeConversion) {
    fichier(exemple);
    demarre();
    choisit("2");
    m.Memo_copie.ecrit_lignes({"KZR1", "2.500"}); // a rally file loaded since
    choisit("");
    EXPECT_EQ(services.messages,
              std::vector<std::string>{"'' n'est pas une valeur entière correcte"});
    EXPECT_EQ(m.Memo_copie.ligne(0), "540");
    EXPECT_EQ(m.etat.tours_etal, 541);
    EXPECT_EQ(m.lb_tours_roue.texte(), "541 Trs");
}

TEST_F(Etalonnage, UnFichierDeDeuxLignesRefuseLEtalonnageDeux) {
    fichier("540\n1000\n");
    demarre();
    choisit("2");
    EXPECT_EQ(services.messages,
              std::vector<std::string>{"'' n'est pas une valeur entière correcte"});
    EXPECT_EQ(m.etat.tours_etal, 540);
    EXPECT_EQ(m.etat.dist_etal, 1000);
    EXPECT_EQ(m.lb_tours_roue.texte(), "540 Trs");
}

TEST_F(Etalonnage, UneLigneDeMetresIncorrecteArreteApresLesTours) {
    fichier("540\n1000\n600\n1,2km\n");
    demarre();
    choisit("2");
    EXPECT_EQ(services.messages,
              std::vector<std::string>{"'1,2km' n'est pas une valeur entière correcte"});
    EXPECT_EQ(m.etat.tours_etal, 600);
    EXPECT_EQ(m.etat.dist_etal, 1000);
    EXPECT_EQ(m.lb_tours_roue.texte(), "540 Trs");
    EXPECT_EQ(m.etat.pas_correction, 1); // the failing selection got no further
}

TEST_F(Etalonnage, ZeroTourADivisionParZeroApresLesEtapesDeRemiseAZero) {
    fichier("0\n1000\n0\n0\n");
    demarre();
    plus();
    choisit("1");
    EXPECT_EQ(services.messages,
              std::vector<std::string>{"Division par zéro en virgule flottante"});
    EXPECT_EQ(m.etat.pas_correction, 10);
    EXPECT_EQ(m.etat.nbr_correction, 0);
    EXPECT_EQ(m.lb_correction.texte(), "0");
    EXPECT_EQ(m.lb_dist_etal.couleur(), Tcouleur::degrade_legende_inactive);
    services.messages.clear();
    choisit("2");
    EXPECT_EQ(services.messages,
              std::vector<std::string>{"Opération en virgule flottante incorrecte"});
}

TEST_F(Etalonnage, SansPasDeCorrectionLesPasNeChangentQueLeCompte) {
    fichier("50\n99\n");
    choisit("1");
    services.messages.clear();
    EXPECT_EQ(m.etat.pas_correction, 0);
    plus();
    EXPECT_EQ(m.etat.dist_etal, 99);
    EXPECT_EQ(m.lb_dist_etal.texte(), "99");
    EXPECT_EQ(m.lb_correction.texte(), "1");
    EXPECT_EQ(m.lb_dist_etal.couleur(), Tcouleur::rouge);
}

TEST_F(Etalonnage, PasDeCorrectionTronqueVersZero) {
    for (auto [metres, pas] : {std::pair{"1099", 10}, std::pair{"99", 0}, std::pair{"-150", -1}}) {
        fichier(std::string("540\n") + metres + "\n");
        choisit("1");
        EXPECT_EQ(m.etat.pas_correction, pas) << metres;
    }
}

TEST_F(Etalonnage, UnPasQuiSortiraitDesEntiers32BitsSArreteALaLimite) {
    fichier("1\n2147483647\n");
    choisit("1");
    plus();
    EXPECT_EQ(m.etat.dist_etal, INT32_MAX);
    EXPECT_EQ(m.lb_dist_etal.texte(), "2147483647");
    EXPECT_EQ(m.lb_correction.texte(), "1");
    fichier("1\n-2147483648\n");
    choisit("1");
    EXPECT_EQ(m.etat.pas_correction, -21474836);
    plus();
    EXPECT_EQ(m.etat.dist_etal, INT32_MIN);
    moins();
    EXPECT_EQ(m.etat.dist_etal, INT32_MIN + 21474836);
}

TEST_F(Etalonnage, LesLignesSontLuesTellesQuellesAvecBlancsEtHexa) {
    fichier("  540\n$3E8\n$21C\n 1000\n");
    demarre();
    EXPECT_EQ(m.etat.tours_etal, 540);
    EXPECT_EQ(m.etat.dist_etal, 1000);
    EXPECT_EQ(m.lb_tours_roue.texte(), "  540 Trs");
    EXPECT_EQ(m.lb_dist_etal.texte(), "$3E8 m");
    choisit("2"); // a selection too
    EXPECT_EQ(m.etat.tours_etal, 540);
    EXPECT_EQ(m.lb_tours_roue.texte(), "$21C Trs");
    EXPECT_EQ(m.lb_dist_etal.texte(), " 1000 m");
}

TEST_F(Etalonnage, UnFichierBinaireDonneUneSeuleErreurDeConversion) {
    std::string octets;
    for (int k = 0; k < 4000; ++k)
        for (int c = 1; c < 256; ++c)
            if (c != 26) octets += static_cast<char>(c);
    fichier(octets);
    demarre();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].find("n'est pas une valeur entière correcte"),
              std::string::npos);
    EXPECT_EQ(m.etat.tours_etal, 0);
    EXPECT_EQ(m.lb_tours_roue.texte(), "0000 Trs");
    EXPECT_LE(m.Memo_copie.nombre(), 201u);
}

TEST_F(Etalonnage, UneLigneAvecUnOctetNulEstCiteeEnEntierDansLErreur) {
    // Found by fuzzing: the error box cut the line's text at its NUL byte.
    fichier(std::string("RP\xfd\x7f\0\0yy\n1000\n", 11));
    demarre();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0], "'RP\xc3\xbd\x7f" + std::string(2, '\0') +
                                        "yy' n'est pas une valeur entière correcte");
}

TEST_F(Etalonnage, UnChoixRemplaceLeFichierDeRallyeDansLeTampon) {
    fichier(exemple);
    m.Memo_copie.ecrit_lignes({"KZR1", "2.500", "", "MZR1", "45"});
    choisit("3");
    EXPECT_EQ(m.Memo_copie.lignes(),
              (std::vector<std::string>{"540", "1000", "541", "1000", "539", "1000"}));
    EXPECT_EQ(m.lb_tours_roue.texte(), "539 Trs");
}

TEST_F(Etalonnage, LesToursComptesPendantLAlerteUtilisentLeNouvelEtalonnage) {
    fichier("741\n1000\n");
    services.pendant_message = [&](const std::string&) {
        m.distribue([&] { m.un_tour_de_roue(); });
    };
    choisit("1");
    EXPECT_EQ(services.messages, std::vector<std::string>{valeurs_erronees});
    EXPECT_EQ(m.etat.cumul_total, 259);
    EXPECT_EQ(m.la_tot_m.texte(), "1");
}

TEST_F(Etalonnage, LesTouchesPlusEtMoinsPourcentFontLesMemesPas) {
    fichier(exemple);
    choisit("1");
    m.etat.nbr_correction = -1;
    m.etat.touche = 14;
    m.distribue([&] { m.mise_a_jour_trip_clavier(); });
    EXPECT_EQ(m.etat.dist_etal, 1010);
    EXPECT_EQ(m.lb_correction.texte(), "0");
    EXPECT_EQ(m.lb_dist_etal.couleur(), Tcouleur::degrade_legende_inactive);
    m.distribue([&] { m.Button2Click(); });
    m.distribue([&] { m.Button2Click(); });
    EXPECT_EQ(m.lb_dist_etal.texte(), "990");
    EXPECT_EQ(m.lb_correction.texte(), "-2");
}

} // namespace
