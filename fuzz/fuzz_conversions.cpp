// The three conversions of the crew's texts, against references of their own.
#include "conversions.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void verifie(bool condition) {
    if (!condition) std::abort();
}

// A text of the plain form blanks, sign, digits, separator, at most three
// decimals, blanks: the only one whose thousandfold the reference can judge.
bool forme_simple(const std::string& t, char sep) {
    std::size_t i = 0;
    while (i < t.size() && t[i] == ' ')
        ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t chiffres = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9')
        ++i, ++chiffres;
    if (chiffres > 9) return false;
    if (i < t.size() && t[i] == sep) {
        ++i;
        std::size_t decimales = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i, ++decimales;
        if (decimales > 3) return false;
    }
    while (i < t.size() && t[i] == ' ')
        ++i;
    return i == t.size();
}

void verifie_entier(const std::string& t) {
    const auto v = entier_depuis_texte(t);
    if (!v) return;
    // Whatever it accepted reads back the same through the C library.
    std::size_t i = t.find_first_not_of(" \t");
    std::string reste = t.substr(i);
    int base = 10;
    if (reste[0] == '$' || reste[0] == 'x' || reste[0] == 'X') {
        reste = reste.substr(1);
        base = 16;
    } else if (reste.size() > 1 && reste[0] == '0' && (reste[1] == 'x' || reste[1] == 'X')) {
        reste = reste.substr(2);
        base = 16;
    }
    char* fin = nullptr;
    const long long reference = std::strtoll(reste.c_str(), &fin, base);
    verifie(*fin == '\0');
    verifie(reference == *v);
}

void verifie_decimal(const std::string& t, const char* sep) {
    const auto reel = reel_depuis_texte(t, sep);
    const auto exact = milliemes_depuis_texte(t, sep);
    // The exact form accepts only what the real form accepts.
    if (exact) verifie(reel.has_value());
    if (!reel) return;
    const long double mille = *reel * 1000.0L;
    if (std::fabs(mille) < 2.0e9L) {
        verifie(exact.has_value());
        // Truncation of a binary product may lose at most the last unit.
        verifie(std::fabs(static_cast<long double>(*exact) - std::trunc(mille)) <= 1.0L);
        if (forme_simple(t, sep[0])) verifie(std::llroundl(mille) == *exact);
    }
    const auto saisie = milliemes_depuis_texte(t, sep, Tforme_decimale::saisie);
    if (saisie) verifie(exact && *exact == *saisie);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    const std::string t(reinterpret_cast<const char*>(donnees), taille);
    verifie_entier(t);
    verifie_decimal(t, ",");
    verifie_decimal(t, ".");
    return 0;
}
