#include "extraction_zone.h"

#include "etat_regularite.h"
#include "ligne_horaire.h"

std::vector<std::int32_t> numeros_de_section(const Tmodele_memo& source, const std::string& cle) {
    std::vector<std::int32_t> numeros;
    bool dans_section = false;
    for (std::int32_t i = 0; i < nbr_lignes_max; ++i) {
        const std::string& ligne = source.ligne(static_cast<std::size_t>(i));
        const bool est_cle = ligne == cle;
        if (est_cle) dans_section = true;
        if (dans_section && !est_cle) {
            numeros.push_back(i);
            if (ligne.empty()) dans_section = false;
        }
    }
    return numeros;
}

Tsection_zone extrait_section(const Tmodele_memo& source, const std::string& cle,
                              std::string_view separateur) {
    Tsection_zone section;
    section.numeros = numeros_de_section(source, cle);
    for (const std::int32_t i : section.numeros)
        section.lignes.push_back(
            prepare_ligne_horaire(source.ligne(static_cast<std::size_t>(i)), separateur));
    section.trouvee = !section.numeros.empty();
    return section;
}

Tzone_extraite extrait_zone(const Tmodele_memo& source, std::int32_t n,
                            std::string_view separateur) {
    const std::string numero = std::to_string(n);
    return {extrait_section(source, "KZR" + numero, separateur),
            extrait_section(source, "MZR" + numero, separateur)};
}
