#include "sortie_csv.h"

#include "textes_tableau.h"

#include <string>

namespace {

// No text of the table holds ";", a quote or a line end: none needs quoting.
void ecrit_ligne(std::ostream& sortie, const std::vector<std::string>& cellules) {
    std::string ligne;
    for (std::size_t i = 0; i < cellules.size(); ++i) {
        if (i > 0) ligne += ';';
        ligne += cellules[i];
    }
    ligne += '\n';
    sortie << ligne;
}

} // namespace

void ecrit_csv(std::ostream& sortie, const std::vector<Tligne_marche>& lignes,
               std::optional<std::int32_t> depart) {
    ecrit_ligne(sortie, entetes_tableau(depart.has_value()));
    for (const auto& l : lignes)
        ecrit_ligne(sortie, cellules_tableau(l, depart));
}
