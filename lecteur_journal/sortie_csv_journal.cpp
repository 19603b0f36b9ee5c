#include "sortie_csv_journal.h"

#include "texte_affichable.h"

#include <string>

namespace {

std::string km(std::int32_t metres) {
    const std::string decimales = std::to_string(metres % 1000);
    return std::to_string(metres / 1000) + "," + std::string(3 - decimales.size(), '0') + decimales;
}

// A number as a French spreadsheet reads one: a sign, digits, a comma and digits.
bool est_un_nombre(std::string_view t) {
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.remove_prefix(1);
    const auto virgule = t.find(',');
    const std::string_view entiers = t.substr(0, virgule);
    const std::string_view decimales =
        virgule == std::string_view::npos ? std::string_view() : t.substr(virgule + 1);
    const auto chiffres = [](std::string_view c) {
        return c.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return !entiers.empty() && chiffres(entiers) && chiffres(decimales) &&
           (virgule == std::string_view::npos || !decimales.empty());
}

} // namespace

std::string cellule_csv(std::string_view texte) {
    std::string t = texte_affichable(texte, 200);
    if (!t.empty() && std::string_view("=+-@").find(t[0]) != std::string_view::npos &&
        !est_un_nombre(t))
        t.insert(0, 1, '\'');
    if (t.find_first_of(";\"") == std::string::npos) return t;
    std::string q = "\"";
    for (char c : t)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

bool ecrit_csv_journal(const std::function<bool(std::string_view)>& ecrit, const Treleve& r) {
    if (!ecrit("Heure;Chronomètre;TOTAL (km);PARTIEL (km);CADEN (km);Écart (m);LED allumée;"
               "Moyenne (km/h);Boîtier\n"))
        return false;
    std::string ligne;
    for (const Techantillon& s : r.echantillons) {
        ligne.clear();
        ligne += s.heure + ';' + cellule_csv(s.chrono) + ';' + km(s.total_m) + ';' +
                 km(s.partiel_m) + ';' + km(s.caden_m) + ';' + std::to_string(s.ecart_m) + ';' +
                 s.led + ';' + cellule_csv(r.moyennes[s.moyenne]) + ';' +
                 (s.boitier ? "oui" : "non") + '\n';
        if (!ecrit(ligne)) return false;
    }
    return true;
}
