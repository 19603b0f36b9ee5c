#include "conversions.h"
#include "erreurs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace {

// A text as a test name can hold it: control characters escaped.
std::string lisible(const char* t) {
    std::string r = "\"";
    for (; *t; ++t) {
        if (static_cast<unsigned char>(*t) < 0x20)
            r += "\\x" + std::string(1, "0123456789abcdef"[*t >> 4]) + "0123456789abcdef"[*t & 15];
        else
            r += *t;
    }
    return r + "\"";
}

struct Tcas_entier {
    const char* texte;
    std::optional<std::int32_t> attendu;
};

void PrintTo(const Tcas_entier& c, std::ostream* os) {
    *os << lisible(c.texte);
}

class EntierDepuisTexte : public testing::TestWithParam<Tcas_entier> {};
TEST_P(EntierDepuisTexte, LitOuRefuse) {
    EXPECT_EQ(entier_depuis_texte(GetParam().texte), GetParam().attendu) << GetParam().texte;
}
INSTANTIATE_TEST_SUITE_P(
    Conversions, EntierDepuisTexte,
    testing::Values(
        // decimal, blanks in front, signs
        Tcas_entier{"540", 540}, Tcas_entier{"   540", 540}, Tcas_entier{"+7", 7},
        Tcas_entier{"-7", -7}, Tcas_entier{" -0", 0}, Tcas_entier{"007", 7},
        // the five hexadecimal prefixes
        Tcas_entier{"$1F", 31}, Tcas_entier{"x1f", 31}, Tcas_entier{"X10", 16},
        Tcas_entier{"0x10", 16}, Tcas_entier{"0XfF", 255}, Tcas_entier{"  $A", 10},
        // the signed 32-bit limits
        Tcas_entier{"2147483647", INT32_MAX}, Tcas_entier{"-2147483648", INT32_MIN},
        Tcas_entier{"2147483648", std::nullopt}, Tcas_entier{"-2147483649", std::nullopt},
        Tcas_entier{"$7FFFFFFF", INT32_MAX}, Tcas_entier{"$80000000", std::nullopt},
        Tcas_entier{"99999999999999999999", std::nullopt},
        Tcas_entier{"0000000000000000000042", 42},
        // anything after the digits, or nothing where digits belong
        Tcas_entier{"", std::nullopt}, Tcas_entier{"   ", std::nullopt},
        Tcas_entier{"540 ", std::nullopt}, Tcas_entier{"540\r", std::nullopt},
        Tcas_entier{"54a", std::nullopt}, Tcas_entier{"1,5", std::nullopt},
        Tcas_entier{"+", std::nullopt}, Tcas_entier{"- 5", std::nullopt},
        Tcas_entier{"$", std::nullopt}, Tcas_entier{"0x", std::nullopt},
        Tcas_entier{"-$10", std::nullopt}, Tcas_entier{"+0x10", std::nullopt},
        Tcas_entier{"$1G", std::nullopt}, Tcas_entier{"12e3", std::nullopt}));

TEST(Conversions, UnEntierIncorrectDonneLeTexteDeLaBoiteDErreur) {
    try {
        convertit_entier("54 0");
        FAIL() << "no error";
    } catch (const Terreur_defaut& e) {
        EXPECT_STREQ(e.what(), "'54 0' n'est pas une valeur entière correcte");
    }
    try {
        convertit_entier("");
        FAIL() << "no error";
    } catch (const Terreur_defaut& e) {
        EXPECT_STREQ(e.what(), "'' n'est pas une valeur entière correcte");
    }
}

struct Tcas_reel {
    const char* texte;
    const char* separateur;
    std::optional<long double> attendu;
};

void PrintTo(const Tcas_reel& c, std::ostream* os) {
    *os << lisible(c.texte) << " sep " << lisible(c.separateur);
}

class ReelDepuisTexte : public testing::TestWithParam<Tcas_reel> {};
TEST_P(ReelDepuisTexte, LitAvecLeSeparateurDeLUtilisateur) {
    const auto v = reel_depuis_texte(GetParam().texte, GetParam().separateur);
    ASSERT_EQ(v.has_value(), GetParam().attendu.has_value()) << GetParam().texte;
    if (v) {
        EXPECT_EQ(*v, *GetParam().attendu) << GetParam().texte;
    }
}
INSTANTIATE_TEST_SUITE_P(
    Conversions, ReelDepuisTexte,
    testing::Values(Tcas_reel{"2,5", ",", 2.5L}, Tcas_reel{"2.5", ".", 2.5L},
                    Tcas_reel{"2.5", ",", std::nullopt}, Tcas_reel{"2,5", ".", std::nullopt},
                    Tcas_reel{" -48,5 ", ",", -48.5L}, Tcas_reel{"+3", ",", 3.0L},
                    Tcas_reel{",", ",", 0.0L}, Tcas_reel{",5", ",", 0.5L},
                    Tcas_reel{"7,", ",", 7.0L}, Tcas_reel{"1,5E3", ",", 1500.0L},
                    Tcas_reel{"25e-1", ",", 2.5L}, Tcas_reel{"1e+2", ",", 100.0L},
                    Tcas_reel{"", ",", std::nullopt}, Tcas_reel{"  ", ",", std::nullopt},
                    Tcas_reel{"-", ",", std::nullopt}, Tcas_reel{"e5", ",", std::nullopt},
                    Tcas_reel{"1e", ",", std::nullopt}, Tcas_reel{"1,,5", ",", std::nullopt},
                    Tcas_reel{"1 5", ",", std::nullopt}, Tcas_reel{"12km", ",", std::nullopt},
                    Tcas_reel{"1e99999", ",", std::nullopt},
                    Tcas_reel{"1e999999999999999999999", ",", std::nullopt}));

TEST(Conversions, UnReelIncorrectDonneLeTexteDeLaBoiteDErreur) {
    try {
        convertit_reel("4x", ",");
        FAIL() << "no error";
    } catch (const Terreur_defaut& e) {
        EXPECT_STREQ(e.what(), "'4x' n'est pas une valeur en virgule flottante correcte");
    }
}

struct Tcas_milliemes {
    const char* texte;
    const char* separateur;
    Tforme_decimale forme;
    std::optional<std::int32_t> attendu;
};

void PrintTo(const Tcas_milliemes& c, std::ostream* os) {
    *os << lisible(c.texte) << " sep " << lisible(c.separateur)
        << (c.forme == Tforme_decimale::saisie ? " saisie" : "");
}

class MilliemesDepuisTexte : public testing::TestWithParam<Tcas_milliemes> {};
TEST_P(MilliemesDepuisTexte, ConvertitSansPerdreUnMetre) {
    const Tcas_milliemes& c = GetParam();
    EXPECT_EQ(milliemes_depuis_texte(c.texte, c.separateur, c.forme), c.attendu) << c.texte;
}

constexpr auto reel = Tforme_decimale::reel;
constexpr auto saisie = Tforme_decimale::saisie;

INSTANTIATE_TEST_SUITE_P(
    Conversions, MilliemesDepuisTexte,
    testing::Values(
        // exact decimal digits, where a binary real would lose a metre
        Tcas_milliemes{"0,001", ",", reel, 1}, Tcas_milliemes{"16,3", ",", reel, 16300},
        Tcas_milliemes{"2.5", ".", reel, 2500}, Tcas_milliemes{"0,29", ",", reel, 290},
        Tcas_milliemes{"4,35", ",", reel, 4350}, Tcas_milliemes{"999,999", ",", reel, 999'999},
        Tcas_milliemes{"12,000", ",", reel, 12'000}, Tcas_milliemes{"40", ",", reel, 40'000},
        // below a thousandth: truncated toward zero, on both sides
        Tcas_milliemes{"0,0009", ",", reel, 0}, Tcas_milliemes{"1,2345", ",", reel, 1234},
        Tcas_milliemes{"-1,2345", ",", reel, -1234}, Tcas_milliemes{"-0,0005", ",", reel, 0},
        // blanks, sign and exponent of the real form
        Tcas_milliemes{" +2,5e1 ", ",", reel, 25'000}, Tcas_milliemes{"2500e-3", ",", reel, 2500},
        Tcas_milliemes{",", ",", reel, 0},
        // the thousandfold must fit a signed 32-bit integer
        Tcas_milliemes{"2147483,647", ",", reel, INT32_MAX},
        Tcas_milliemes{"2147483,648", ",", reel, std::nullopt},
        Tcas_milliemes{"-2147483,648", ",", reel, INT32_MIN},
        Tcas_milliemes{"1e10", ",", reel, std::nullopt},
        Tcas_milliemes{"1e999999999999999999999", ",", reel, std::nullopt},
        Tcas_milliemes{"1e-999999999999999999999", ",", reel, 0},
        Tcas_milliemes{"2,5", ".", reel, std::nullopt}, Tcas_milliemes{"", ",", reel, std::nullopt},
        // the keypad form: digits and the separator only
        Tcas_milliemes{"12,345", ",", saisie, 12'345}, Tcas_milliemes{",", ",", saisie, 0},
        Tcas_milliemes{"007,", ",", saisie, 7000}, Tcas_milliemes{"0", ",", saisie, 0},
        Tcas_milliemes{"12,345", ".", saisie, std::nullopt},
        Tcas_milliemes{" 12", ",", saisie, std::nullopt},
        Tcas_milliemes{"12 ", ",", saisie, std::nullopt},
        Tcas_milliemes{"+12", ",", saisie, std::nullopt},
        Tcas_milliemes{"-12", ",", saisie, std::nullopt},
        Tcas_milliemes{"1e3", ",", saisie, std::nullopt},
        Tcas_milliemes{"............", ",", saisie, std::nullopt},
        Tcas_milliemes{"", ",", saisie, std::nullopt}));

TEST(Conversions, UnExposantCompenseParDesMilliersDeDecimalesResteExact) {
    // 10^-1000006 written out in full, times 10^1000009, is 1000: an exponent capped
    // near a million would read it as 0.
    const std::string texte = "0," + std::string(1'000'005, '0') + "1e1000009";
    EXPECT_EQ(milliemes_depuis_texte(texte, ",", reel), 1'000'000);
    const auto v = reel_depuis_texte(texte, ",");
    ASSERT_TRUE(v.has_value());
    EXPECT_NEAR(static_cast<double>(*v), 1000.0, 1e-9);
}

} // namespace
