// What any program prints of a text from a file or the command line: nothing that commands a
// terminal or reorders a line, and a bounded line for any length.
#include "texte_affichable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

struct Tcas_affichable {
    const char* nom;
    std::string texte;
    std::string affiche;
};

void PrintTo(const Tcas_affichable& c, std::ostream* os) {
    *os << c.nom;
}

class TexteAffichable : public testing::TestWithParam<Tcas_affichable> {};

TEST_P(TexteAffichable, echappe_ce_qui_commanderait_le_terminal) {
    EXPECT_EQ(texte_affichable(GetParam().texte), GetParam().affiche);
}

INSTANTIATE_TEST_SUITE_P(
    Echappements, TexteAffichable,
    testing::Values(
        Tcas_affichable{"francais_intact", "Étalonnage 2 : 48,50 km/h « ZR1 » …",
                        "Étalonnage 2 : 48,50 km/h « ZR1 » …"},
        Tcas_affichable{"c0_et_del", "a\x1b[2J\x07\x7f\n\r\t\0b"s,
                        "a\\x1b[2J\\x07\\x7f\\n\\r\\t\\x00b"},
        // OSC 52 sets the clipboard; U+009B is CSI in one character, U+0085 a line end.
        Tcas_affichable{"osc_52", "\x1b]52;c;ZXZpbA==\x07", "\\x1b]52;c;ZXZpbA==\\x07"},
        Tcas_affichable{"c1",
                        "\xc2\x9b"
                        "2J\xc2\x85\xc2\x80\xc2\x9f\xc2\xa0",
                        "\\u009b2J\\u0085\\u0080\\u009f\xc2\xa0"},
        Tcas_affichable{"bidi", "a\xe2\x80\xaa\xe2\x80\xae\xe2\x81\xa6\xe2\x81\xa9\xe2\x80\xafz",
                        "a\\u202a\\u202e\\u2066\\u2069\xe2\x80\xafz"},
        Tcas_affichable{"utf8_mal_forme", "\xff\xc3(\xed\xa0\x80", "\\xff\\xc3(\\xed\\xa0\\x80"}),
    [](const auto& i) { return std::string(i.param.nom); });

TEST(TexteAffichable, un_long_texte_est_coupe_sans_couper_un_echappement_ni_un_caractere) {
    EXPECT_EQ(texte_affichable(std::string(16 << 20, 'a'), 10), "aaaaaaaaaa…");
    EXPECT_EQ(texte_affichable("abcdefgh\x1b"s + "xyz", 10), "abcdefgh…");
    EXPECT_EQ(texte_affichable("abcdefghi\xc3\xa9", 10), "abcdefghi…");
    EXPECT_EQ(texte_affichable("court", 10), "court");
}

TEST(TexteAffichable, un_message_garde_ses_sauts_de_ligne) {
    EXPECT_EQ(lignes_affichables("ligne 1\nligne\xe2\x80\xae 2\x1b\n"),
              "ligne 1\nligne\\u202e 2\\x1b\n");
}

} // namespace
