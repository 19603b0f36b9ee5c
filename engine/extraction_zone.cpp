#include "extraction_zone.h"

#include "etat_regularite.h"
#include "ligne_horaire.h"

Tsection_zone extrait_section(const Tmodele_memo& source, const std::string& cle,
                              std::string_view separateur) {
    Tsection_zone section;
    bool dans_section = false;
    for (std::size_t i = 0; i < static_cast<std::size_t>(nbr_lignes_max); ++i) {
        const std::string& ligne = source.ligne(i);
        const bool est_cle = ligne == cle;
        if (est_cle) dans_section = true;
        if (dans_section && !est_cle) {
            section.lignes.push_back(prepare_ligne_horaire(ligne, separateur));
            section.trouvee = true;
            if (ligne.empty()) dans_section = false;
        }
    }
    return section;
}
