#include "conversions.h"

#include "erreurs.h"
#include "hexa.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

bool est_chiffre(char c) {
    return c >= '0' && c <= '9';
}

// Far beyond the number of digits any text can hold, so capping changes no result.
constexpr long long exposant_max = 1'000'000'000'000'000LL;

bool est_blanc(char c) {
    return c == ' ' || c == '\t';
}

// The parts of a real text, as written.
struct Tdecoupage_reel {
    bool negatif = false;
    std::string_view entiers;
    std::string_view decimales;
    long long exposant = 0;
};

std::optional<Tdecoupage_reel> decoupe_reel(std::string_view t, std::string_view sep,
                                            Tforme_decimale forme) {
    Tdecoupage_reel r;
    std::size_t i = 0;
    const bool libre = forme == Tforme_decimale::reel;
    if (libre) {
        while (i < t.size() && est_blanc(t[i]))
            ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) r.negatif = t[i++] == '-';
    }
    const std::size_t debut_entiers = i;
    while (i < t.size() && est_chiffre(t[i]))
        ++i;
    r.entiers = t.substr(debut_entiers, i - debut_entiers);
    bool separateur = false;
    if (!sep.empty() && t.substr(i, sep.size()) == sep) {
        separateur = true;
        i += sep.size();
        const std::size_t debut_decimales = i;
        while (i < t.size() && est_chiffre(t[i]))
            ++i;
        r.decimales = t.substr(debut_decimales, i - debut_decimales);
    }
    if (r.entiers.empty() && r.decimales.empty() && !separateur) return std::nullopt;
    if (libre && i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        bool exposant_negatif = false;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) exposant_negatif = t[i++] == '-';
        const std::size_t debut_exposant = i;
        while (i < t.size() && est_chiffre(t[i])) {
            // Held where no text could bring the value back into range, without overflow.
            if (r.exposant < exposant_max) r.exposant = r.exposant * 10 + (t[i] - '0');
            ++i;
        }
        if (i == debut_exposant) return std::nullopt;
        if (exposant_negatif) r.exposant = -r.exposant;
    }
    if (libre)
        while (i < t.size() && est_blanc(t[i]))
            ++i;
    if (i != t.size()) return std::nullopt;
    return r;
}

} // namespace

std::optional<std::int32_t> entier_depuis_texte(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && est_blanc(t[i]))
        ++i;
    bool hexa = false;
    bool negatif = false;
    if (i < t.size() && t[i] == '$') {
        hexa = true;
        ++i;
    } else if (i < t.size() && (t[i] == 'x' || t[i] == 'X')) {
        hexa = true;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        hexa = true;
        i += 2;
    } else if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negatif = t[i] == '-';
        ++i;
    }
    if (i == t.size()) return std::nullopt;
    const std::int64_t limite = negatif ? 2147483648LL : 2147483647LL;
    std::int64_t v = 0;
    for (; i < t.size(); ++i) {
        const int chiffre = hexa ? valeur_hexa(t[i]) : (est_chiffre(t[i]) ? t[i] - '0' : -1);
        if (chiffre < 0) return std::nullopt;
        v = v * (hexa ? 16 : 10) + chiffre;
        if (v > limite) return std::nullopt;
    }
    return static_cast<std::int32_t>(negatif ? -v : v);
}

std::int32_t convertit_entier(const std::string& texte) {
    const auto v = entier_depuis_texte(texte);
    if (!v) throw Terreur_defaut(texte_entier_incorrect(texte));
    return *v;
}

std::optional<long double> reel_depuis_texte(std::string_view texte, std::string_view separateur) {
    const auto d = decoupe_reel(texte, separateur, Tforme_decimale::reel);
    if (!d) return std::nullopt;
    // Rewritten in the C form that strtold reads whatever the process locale, as 0.DIGITS
    // times a power of ten with the leading zeros gone and at most `significatifs` digits:
    // some C libraries lose their way in a million digits. A nonzero digit kept after the
    // cut keeps the rounding exactly as the full text would have it.
    constexpr std::size_t significatifs = 60;
    const std::string chiffres = std::string(d->entiers) + std::string(d->decimales);
    const std::size_t premier = chiffres.find_first_not_of('0');
    if (premier == std::string::npos) return d->negatif ? -0.0L : 0.0L;
    const long long exposant =
        static_cast<long long>(d->entiers.size()) - static_cast<long long>(premier) + d->exposant;
    // Beyond what a long double holds either way: no need to ask.
    if (exposant > 6000) return std::nullopt;
    if (exposant < -6000) return d->negatif ? -0.0L : 0.0L;
    std::string c_forme = d->negatif ? "-0." : "0.";
    c_forme += chiffres.substr(premier, significatifs);
    if (chiffres.size() - premier > significatifs &&
        chiffres.find_first_not_of('0', premier + significatifs) != std::string::npos)
        c_forme += '1';
    c_forme += 'e' + std::to_string(exposant);
    errno = 0;
    const long double v = std::strtold(c_forme.c_str(), nullptr);
    if (std::isinf(v) || std::isnan(v)) return std::nullopt;
    return v;
}

long double convertit_reel(const std::string& texte, std::string_view separateur) {
    const auto v = reel_depuis_texte(texte, separateur);
    if (!v) throw Terreur_defaut(texte_reel_incorrect(texte));
    return *v;
}

std::optional<std::int32_t>
milliemes_depuis_texte(std::string_view texte, std::string_view separateur, Tforme_decimale forme) {
    const auto d = decoupe_reel(texte, separateur, forme);
    if (!d) return std::nullopt;
    std::string chiffres = std::string(d->entiers) + std::string(d->decimales);
    const std::size_t premier = chiffres.find_first_not_of('0');
    if (premier == std::string::npos) return 0;
    chiffres.erase(0, premier);
    // value x 1000 = chiffres x 10^decalage
    const long long decalage = d->exposant - static_cast<long long>(d->decimales.size()) + 3;
    const long long longueur = static_cast<long long>(chiffres.size()) + decalage;
    if (longueur <= 0) return 0; // below one unit: truncated to zero
    if (longueur > 10) return std::nullopt;
    std::int64_t v = 0;
    for (long long k = 0; k < longueur; ++k)
        v = v * 10 + (k < static_cast<long long>(chiffres.size()) ? chiffres[k] - '0' : 0);
    if (d->negatif) v = -v;
    if (v > std::numeric_limits<std::int32_t>::max() ||
        v < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}
