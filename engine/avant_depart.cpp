#include "avant_depart.h"

#include "heure_du_jour.h"

#include <cstdlib>
#include <limits>
#include <vector>

namespace {

constexpr std::int64_t max_32 = std::numeric_limits<std::int32_t>::max();

std::string_view sans_blancs(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
        t.remove_suffix(1);
    return t;
}

bool chiffre(char c) {
    return c >= '0' && c <= '9';
}

// Digits only, at most `max_chiffres` of them.
std::optional<std::int64_t> entier(std::string_view t, std::size_t max_chiffres) {
    if (t.empty() || t.size() > max_chiffres) return std::nullopt;
    std::int64_t v = 0;
    for (char c : t) {
        if (!chiffre(c)) return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::int64_t puissance_dix(int n) {
    std::int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

} // namespace

std::optional<Tlongueur_base> lit_longueur_base(std::string_view texte) {
    const std::string_view t = sans_blancs(texte);
    const std::size_t sep = t.find_first_of(",.");
    const auto ent = entier(t.substr(0, sep), 9);
    if (!ent) return std::nullopt;
    Tlongueur_base l{*ent, 0};
    if (sep != std::string_view::npos) {
        const std::string_view dec = t.substr(sep + 1);
        if (dec.empty()) return std::nullopt;
        const auto d = entier(dec, 3);
        if (!d) return std::nullopt;
        l.decimales = static_cast<int>(dec.size());
        l.valeur = *ent * puissance_dix(l.decimales) + *d;
    }
    if (l.valeur == 0) return std::nullopt;
    return l;
}

std::optional<Tpaire_etalonnage> paire_de_base(std::int64_t tours, const Tlongueur_base& base) {
    if (tours <= 0 || base.valeur <= 0) return std::nullopt;
    std::int64_t t = tours * puissance_dix(base.decimales);
    std::int64_t m = base.valeur;
    // Trailing zeros of the decimals add nothing: 1000,0 m is 1000 m.
    while (t % 10 == 0 && m % 10 == 0 && t > tours) {
        t /= 10;
        m /= 10;
    }
    if (t > max_32 || m > max_32) return std::nullopt;
    return Tpaire_etalonnage{static_cast<std::int32_t>(t), static_cast<std::int32_t>(m)};
}

std::int64_t tour_de_roue_mm(std::int64_t tours, const Tlongueur_base& base) {
    if (tours <= 0) return 0;
    const std::int64_t diviseur = tours * puissance_dix(base.decimales);
    return (base.valeur * 1000 + diviseur / 2) / diviseur;
}

bool longueur_base_plausible(const Tlongueur_base& base) {
    const std::int64_t p = puissance_dix(base.decimales);
    return base.valeur >= 100 * p && base.valeur <= 100'000 * p;
}

bool circonference_plausible(std::int64_t centimetres) {
    return centimetres >= circonference_min_cm && centimetres <= circonference_max_cm;
}

bool roue_plausible(Tpaire_etalonnage p) {
    return p.tours > 0 && circonference_plausible(std::int64_t{p.metres} * 100 / p.tours);
}

std::optional<std::int64_t> ecart_dixiemes_pour_mille(Tpaire_etalonnage a, Tpaire_etalonnage n) {
    if (a.tours <= 0 || a.metres <= 0 || n.tours <= 0 || n.metres <= 0) return std::nullopt;
    // (n.m / n.t) / (a.m / a.t) - 1, in 1/10000: 64 bits hold every 32-bit pair's products.
    const std::int64_t num = std::int64_t{n.metres} * a.tours;
    const std::int64_t den = std::int64_t{n.tours} * a.metres;
    const long double r = static_cast<long double>(num - den) * 10000.0L / den;
    return static_cast<std::int64_t>(r < 0 ? r - 0.5L : r + 0.5L);
}

std::string texte_decimal(std::int64_t valeur, int decimales) {
    const bool negatif = valeur < 0;
    const std::uint64_t a =
        negatif ? 0 - static_cast<std::uint64_t>(valeur) : static_cast<std::uint64_t>(valeur);
    const auto p = static_cast<std::uint64_t>(puissance_dix(decimales));
    std::string t = negatif ? "-" : "";
    t += std::to_string(a / p);
    if (decimales > 0) {
        std::string d = std::to_string(a % p);
        t += ',';
        t += std::string(static_cast<std::size_t>(decimales) - d.size(), '0') + d;
    }
    return t;
}

std::string texte_duree_signee(std::int64_t ms) {
    const std::int64_t dixiemes = (std::llabs(ms) + 50) / 100;
    std::string t = ms < 0 && dixiemes > 0 ? "-" : "+";
    const std::int64_t s = dixiemes / 10;
    const std::string secondes = texte_decimal(dixiemes % 600, 1);
    if (s < 60) return t + secondes + " s";
    if (s < 3600)
        return t + std::to_string(s / 60) + " min " + (s % 60 < 10 ? "0" : "") + secondes + " s";
    return t + std::to_string(s / 3600) + " h " + deux_chiffres(s / 60 % 60) + " min " +
           (s % 60 < 10 ? "0" : "") + secondes + " s";
}

std::string remplace_emplacement(std::string_view contenu, int emplacement, Tpaire_etalonnage p) {
    // The reader stops at Ctrl-Z: what follows it is kept as it is, after the lines.
    const std::size_t fin_texte = contenu.find('\x1a');
    const std::string_view texte = contenu.substr(0, fin_texte);
    const std::string_view reste =
        fin_texte == std::string_view::npos ? std::string_view{} : contenu.substr(fin_texte);

    struct Tligne {
        std::string corps;
        std::string_view fin; // "\n", "\r\n" or nothing for a last line without one
    };
    std::vector<Tligne> lignes;
    for (std::size_t i = 0; i < texte.size();) {
        const std::size_t nl = texte.find('\n', i);
        if (nl == std::string_view::npos) {
            lignes.push_back({std::string(texte.substr(i)), ""});
            break;
        }
        std::string_view corps = texte.substr(i, nl - i);
        std::string_view fin = "\n";
        if (!corps.empty() && corps.back() == '\r') {
            corps.remove_suffix(1);
            fin = "\r\n";
        }
        lignes.push_back({std::string(corps), fin});
        i = nl + 1;
    }
    const std::string_view fin_du_fichier =
        !lignes.empty() && !lignes.front().fin.empty() ? lignes.front().fin : "\n";
    const auto premiere = static_cast<std::size_t>(2 * emplacement - 2);
    if (lignes.size() < premiere + 2) {
        if (!lignes.empty() && lignes.back().fin.empty()) lignes.back().fin = fin_du_fichier;
        while (lignes.size() < premiere + 2) {
            const bool tours = lignes.size() % 2 == 0;
            lignes.push_back({std::to_string(tours ? p.tours : p.metres), fin_du_fichier});
        }
    }
    lignes[premiere].corps = std::to_string(p.tours);
    lignes[premiere + 1].corps = std::to_string(p.metres);

    std::string r;
    r.reserve(contenu.size() + 16);
    for (const Tligne& l : lignes) {
        r += l.corps;
        r += l.fin;
    }
    r += reste;
    return r;
}

std::optional<std::int32_t> decalage_officiel(std::string_view texte, std::int64_t maintenant_ms) {
    const std::string_view t = sans_blancs(texte);
    if (t.empty()) return std::nullopt;
    std::int64_t decalage_ms = 0;
    if (const std::size_t deux_points = t.find(':'); deux_points != std::string_view::npos) {
        const auto h = entier(t.substr(0, deux_points), 2);
        const auto m = entier(t.substr(deux_points + 1), 2);
        if (!h || !m || *h > 23 || *m > 59 || t.substr(deux_points + 1).size() != 2)
            return std::nullopt;
        // The nearest way round the day: 23:59 given at 00:00:30 is half a minute behind.
        decalage_ms = ecart_sur_le_jour((*h * 60 + *m) * 60'000, maintenant_ms);
        // To the nearest tenth, halves away from zero.
        const std::int64_t d = decalage_ms < 0 ? -decalage_ms : decalage_ms;
        const std::int64_t dixiemes = (d + 50) / 100;
        return static_cast<std::int32_t>(decalage_ms < 0 ? -dixiemes : dixiemes);
    }
    std::string_view n = t;
    bool negatif = false;
    if (n.front() == '+' || n.front() == '-') {
        negatif = n.front() == '-';
        n.remove_prefix(1);
    }
    const std::size_t sep = n.find_first_of(",.");
    const auto s = entier(n.substr(0, sep), 5);
    if (!s) return std::nullopt;
    std::int64_t dixiemes = *s * 10;
    if (sep != std::string_view::npos) {
        const auto d = entier(n.substr(sep + 1), 1);
        if (!d) return std::nullopt;
        dixiemes += *d;
    }
    if (dixiemes > 432'000) return std::nullopt;
    return static_cast<std::int32_t>(negatif ? -dixiemes : dixiemes);
}
