#include "heure_du_jour.h"

std::int64_t ms_du_jour(const Theure_du_jour& h) {
    return std::int64_t{h.heures} * 3'600'000 + std::int64_t{h.minutes} * 60'000 +
           std::int64_t{h.secondes} * 1000 + h.millisecondes;
}

std::int64_t dixiemes_du_jour(const Theure_du_jour& h) {
    return std::int64_t{h.heures} * 36'000 + std::int64_t{h.minutes} * 600 +
           std::int64_t{h.secondes} * 10 + h.millisecondes / 100;
}

Theure_du_jour heure_de_ms(std::int64_t ms) {
    ms = (ms % ms_par_jour + ms_par_jour) % ms_par_jour;
    return {static_cast<std::int32_t>(ms / 3'600'000), static_cast<std::int32_t>(ms / 60'000 % 60),
            static_cast<std::int32_t>(ms / 1000 % 60), static_cast<std::int32_t>(ms % 1000)};
}

std::int64_t ecart_sur_le_jour(std::int64_t a, std::int64_t b) {
    std::int64_t d = ((a - b) % ms_par_jour + ms_par_jour) % ms_par_jour;
    if (d > ms_par_jour / 2) d -= ms_par_jour;
    return d;
}

std::string deux_chiffres(std::int64_t v) {
    return (v >= 0 && v < 10 ? "0" : "") + std::to_string(v);
}

std::string texte_hms(const Theure_du_jour& h) {
    return deux_chiffres(h.heures) + ":" + deux_chiffres(h.minutes) + ":" +
           deux_chiffres(h.secondes);
}

std::optional<std::int32_t> lit_heure_dixiemes(std::string_view t, bool dixieme_permis) {
    const auto chiffre = [&](std::size_t i) { return t[i] >= '0' && t[i] <= '9'; };
    const auto deux = [&](std::size_t i) { return (t[i] - '0') * 10 + (t[i + 1] - '0'); };
    const bool dixieme = t.size() == 10 && dixieme_permis;
    if (t.size() != 8 && !dixieme) return std::nullopt;
    for (const std::size_t i : {0, 1, 3, 4, 6, 7})
        if (!chiffre(i)) return std::nullopt;
    if (t[2] != ':' || t[5] != ':' || deux(0) > 23 || deux(3) > 59 || deux(6) > 59)
        return std::nullopt;
    auto d = static_cast<std::int32_t>(dixiemes_du_jour({deux(0), deux(3), deux(6), 0}));
    if (dixieme) {
        if ((t[8] != ',' && t[8] != '.') || !chiffre(9)) return std::nullopt;
        d += t[9] - '0';
    }
    return d;
}

std::string texte_duree_dixiemes(std::int64_t d) {
    return std::to_string(d / 36'000) + ":" + deux_chiffres(d / 600 % 60) + ":" +
           deux_chiffres(d / 10 % 60) + "," + std::to_string(d % 10);
}

std::string texte_heure_dixiemes(std::int64_t d) {
    d = (d % dixiemes_par_jour + dixiemes_par_jour) % dixiemes_par_jour;
    return (d < 36'000 * 10 ? "0" : "") + texte_duree_dixiemes(d);
}
