#include "textes_tableau.h"

#include "heure_du_jour.h"

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

std::string texte_heure(std::int64_t dixiemes) {
    const std::int64_t jour = dixiemes / dixiemes_par_jour;
    return texte_heure_dixiemes(dixiemes) + (jour > 0 ? " J+" + std::to_string(jour) : "");
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
                               texte_duree_dixiemes(l.dixiemes)};
    if (depart) c.push_back(texte_heure(std::int64_t{*depart} + l.dixiemes));
    c.push_back(l.changement ? texte_changement : "");
    return c;
}
