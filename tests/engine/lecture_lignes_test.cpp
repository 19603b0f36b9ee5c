#include "lecture_lignes.h"
#include "services_scriptes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Tlignes = std::vector<std::string>;

struct Tcas_lignes {
    const char* nom;
    std::string octets;
    Tfins_de_ligne fins;
    Tlignes attendu;
};

void PrintTo(const Tcas_lignes& c, std::ostream* os) {
    *os << c.nom;
}

constexpr auto etal = Tfins_de_ligne::etalonnage;
constexpr auto rallye = Tfins_de_ligne::rallye;

class LectureLignes : public testing::TestWithParam<Tcas_lignes> {};
TEST_P(LectureLignes, DecoupeLeFichierEnLignes) {
    Trepertoire_temporaire rep;
    // Named as crews name their rallies: the name is UTF-8 text on every system.
    const std::string chemin = rep.ecrit("Rallye d'été à Noël.txt", GetParam().octets);
    const auto lignes = lit_lignes(chemin, GetParam().fins, 201);
    ASSERT_TRUE(lignes.has_value());
    EXPECT_EQ(*lignes, GetParam().attendu);
}

INSTANTIATE_TEST_SUITE_P(
    LignesFichier, LectureLignes,
    testing::Values(
        Tcas_lignes{"etal_lf", "540\n1000\n", etal, {"540", "1000"}},
        Tcas_lignes{"etal_crlf", "540\r\n1000\r\n", etal, {"540", "1000"}},
        Tcas_lignes{"etal_sans_fin", "540\r\n1000", etal, {"540", "1000"}},
        Tcas_lignes{"etal_cr_seul_dans_la_ligne", "54\r0\n1000", etal, {"54\r0", "1000"}},
        Tcas_lignes{"etal_cr_final", "540\r", etal, {"540\r"}},
        Tcas_lignes{"etal_lignes_vides", "\n\n1\n", etal, {"", "", "1"}},
        Tcas_lignes{"etal_vide", "", etal, {""}},
        Tcas_lignes{"etal_ctrl_z",
                    "540\n1000\n\x1a"
                    "541\n",
                    etal,
                    {"540", "1000"}},
        Tcas_lignes{"etal_ctrl_z_en_ligne",
                    "540\n10\x1a"
                    "00\n",
                    etal,
                    {"540", "10"}},
        Tcas_lignes{"etal_ctrl_z_seul", "\x1a", etal, {""}},
        Tcas_lignes{"rallye_lf", "KZR1\n2.500\n", rallye, {"KZR1", "2.500"}},
        Tcas_lignes{"rallye_crlf", "KZR1\r\n2.500\r\n\r\n", rallye, {"KZR1", "2.500", ""}},
        Tcas_lignes{"rallye_cr_seul", "KZR1\r2.500\r\rMZR1", rallye, {"KZR1", "2.500", "", "MZR1"}},
        Tcas_lignes{"rallye_cr_puis_crlf", "a\r\r\nb", rallye, {"a", "", "b"}},
        Tcas_lignes{"rallye_vide", "", rallye, {}},
        Tcas_lignes{"rallye_ctrl_z_ordinaire",
                    "a\x1a"
                    "b\n",
                    rallye,
                    {"a\x1a"
                     "b"}},
        Tcas_lignes{"latin1", "d\xe9part \xb0\n", rallye, {"d\xc3\xa9part \xc2\xb0"}}),
    [](const testing::TestParamInfo<Tcas_lignes>& i) { return std::string(i.param.nom); });

TEST(LignesFichier, UnFichierAbsentOuUnDossierNeSOuvrePas) {
    Trepertoire_temporaire rep;
    EXPECT_FALSE(lit_lignes(rep.chemin() + "absent.txt", etal, 201).has_value());
    EXPECT_FALSE(lit_lignes(rep.chemin(), etal, 201).has_value());
}

TEST(LignesFichier, SeulesLesPremieresLignesSontGardees) {
    Trepertoire_temporaire rep;
    std::string octets;
    for (int i = 0; i < 1000; ++i)
        octets += std::to_string(i) + "\r\n";
    const std::string chemin = rep.ecrit("f.txt", octets);
    for (auto fins : {etal, rallye}) {
        const auto lignes = lit_lignes(chemin, fins, 201);
        ASSERT_TRUE(lignes.has_value());
        ASSERT_EQ(lignes->size(), 201u);
        EXPECT_EQ(lignes->front(), "0");
        EXPECT_EQ(lignes->back(), "200");
    }
}

TEST(LignesFichier, UneLigneDeCinquanteMegaOctetsEstCoupee) {
    Trepertoire_temporaire rep;
    std::string octets(50u << 20, 'A');
    octets += "\n1000\n";
    const auto lignes = lit_lignes(rep.ecrit("f.txt", octets), etal, 201);
    ASSERT_TRUE(lignes.has_value());
    ASSERT_EQ(lignes->size(), 2u);
    EXPECT_EQ((*lignes)[0], std::string(longueur_ligne_max, 'A'));
    EXPECT_EQ((*lignes)[1], "1000");
}

TEST(LignesFichier, DesOctetsBinairesRestentBornes) {
    Trepertoire_temporaire rep;
    // Every byte value except the line ends, repeated over a few megabytes, without a line end.
    std::string octets;
    for (int k = 0; k < 20'000; ++k)
        for (int c = 0; c < 256; ++c)
            if (c != '\n' && c != '\r' && c != 26) octets += static_cast<char>(c);
    const auto lignes = lit_lignes(rep.ecrit("f.bin", octets), rallye, 201);
    ASSERT_TRUE(lignes.has_value());
    ASSERT_EQ(lignes->size(), 1u);
    // Each byte of the file is one or two bytes of UTF-8, and only the first bytes are kept.
    EXPECT_GE(lignes->front().size(), longueur_ligne_max);
    EXPECT_LE(lignes->front().size(), 2 * longueur_ligne_max);
    EXPECT_EQ(lignes->front().substr(0, 3), std::string("\0\x01\x02", 3));
}

} // namespace
