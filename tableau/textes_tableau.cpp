#include "textes_tableau.h"

namespace {

constexpr std::int64_t dixiemes_par_jour = 864000;

std::string sur_deux(std::int64_t v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

// m:ss,t after the hours.
std::string minutes_secondes(std::int64_t dixiemes) {
    return sur_deux(dixiemes / 600 % 60) + ":" + sur_deux(dixiemes / 10 % 60) + "," +
           std::to_string(dixiemes % 10);
}

} // namespace

std::string texte_km(std::int64_t metres) {
    // The magnitude in unsigned arithmetic, where even the lowest value has one.
    const std::uint64_t m = metres < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(metres)
                                       : static_cast<std::uint64_t>(metres);
    const std::string decimales = std::to_string(m % 1000);
    return (metres < 0 ? "-" : "") + std::to_string(m / 1000) + "," +
           std::string(3 - decimales.size(), '0') + decimales;
}

std::string texte_moyenne(std::int32_t mh) {
    std::string t = texte_km(mh);
    if (t.back() == '0') t.pop_back();
    return t;
}

std::string texte_ecoule(std::int32_t dixiemes) {
    return std::to_string(dixiemes / 36000) + ":" + minutes_secondes(dixiemes);
}

std::string texte_heure(std::int64_t dixiemes) {
    const std::int64_t t = dixiemes % dixiemes_par_jour;
    const std::int64_t jour = dixiemes / dixiemes_par_jour;
    return sur_deux(t / 36000) + ":" + minutes_secondes(t) +
           (jour > 0 ? " J+" + std::to_string(jour) : "");
}

std::string texte_depart(std::int32_t dixiemes) {
    const std::string t = texte_heure(dixiemes);
    return t.substr(0, t.find(','));
}

std::vector<std::string> entetes_tableau(bool avec_depart) {
    std::vector<std::string> e{"Distance (km)", "Moyenne (km/h)", "Temps depuis le départ"};
    if (avec_depart) e.push_back("Heure de passage");
    e.push_back("Changement");
    return e;
}

std::vector<std::string> cellules_tableau(const Tligne_marche& l,
                                          std::optional<std::int32_t> depart) {
    std::vector<std::string> c{texte_km(l.distance_m), texte_moyenne(l.moyenne_mh),
                               texte_ecoule(l.dixiemes)};
    if (depart) c.push_back(texte_heure(std::int64_t{*depart} + l.dixiemes));
    c.push_back(l.changement ? texte_changement : "");
    return c;
}
