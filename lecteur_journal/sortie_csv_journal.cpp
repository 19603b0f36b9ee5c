#include "sortie_csv_journal.h"

#include <string>

namespace {

std::string km(std::int32_t metres) {
    const std::string decimales = std::to_string(metres % 1000);
    return std::to_string(metres / 1000) + "," + std::string(3 - decimales.size(), '0') + decimales;
}

// A text cell: quoted when it holds what would cut it ("; or a quote or a line end).
std::string cellule(const std::string& t) {
    if (t.find_first_of(";\"\r\n") == std::string::npos) return t;
    std::string q = "\"";
    for (char c : t)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

} // namespace

void ecrit_csv_journal(std::ostream& sortie, const Treleve& r) {
    sortie << "Heure;Chronomètre;TOTAL (km);PARTIEL (km);CADEN (km);Écart (m);LED allumée;"
              "Moyenne (km/h);Boîtier\n";
    std::string ligne;
    for (const Techantillon& s : r.echantillons) {
        ligne.clear();
        ligne += s.heure + ';' + cellule(s.chrono) + ';' + km(s.total_m) + ';' + km(s.partiel_m) +
                 ';' + km(s.caden_m) + ';' + std::to_string(s.ecart_m) + ';' + s.led + ';' +
                 cellule(s.moyenne) + ';' + (s.boitier ? "oui" : "non") + '\n';
        sortie << ligne;
    }
}
