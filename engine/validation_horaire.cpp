#include "validation_horaire.h"

#include "conversions.h"
#include "entier_sature.h"
#include "erreurs.h"
#include "ligne_horaire.h"

std::int32_t compte_rangees(const Tmodele_memo& kms, const Tmodele_memo& moy) {
    std::int32_t lignes = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(nbr_lignes_max); ++i)
        if (!kms.ligne(i).empty() && !moy.ligne(i).empty()) ++lignes;
    return lignes;
}

void convertit_rangees(Tmodele_memo& champ, std::array<std::int32_t, nbr_lignes_max>& colonne,
                       std::int32_t n, const std::string& separateur,
                       const std::function<void(std::int32_t)>& echec) {
    for (std::int32_t i = 0; i < n; ++i) {
        const auto rang = static_cast<std::size_t>(i);
        std::string texte = prepare_ligne_horaire(champ.ligne(rang), separateur);
        const auto milliemes = milliemes_depuis_texte(texte, separateur);
        if (!milliemes) {
            echec(i);
            continue;
        }
        champ.remplace(rang, texte);
        colonne[rang] = *milliemes;
    }
}

void calcule_fins_rangees(Ttable_zr& table, std::int32_t n) {
    if (n < 1) return;
    // Row lengths and their products by 3600 in 64 bits: any two 32-bit distances give
    // a length, and the quotient is the exact truncation of the real one.
    for (std::int32_t i = 0; i < n; ++i) {
        const auto r = static_cast<std::size_t>(i);
        const std::int64_t longueur =
            i == 0 ? std::int64_t{table.distances_m[0]}
                   : std::int64_t{table.distances_m[r]} - table.distances_m[r - 1];
        const std::int64_t moyenne = table.moyennes_mh[r];
        if (moyenne == 0) leve_division_par_zero(longueur);
        table.durees_s[r] = sature_32(longueur * 3600 / moyenne);
    }
    table.fins_cumulees_s[0] = table.durees_s[0];
    for (std::size_t r = 1; r < static_cast<std::size_t>(n); ++r)
        table.fins_cumulees_s[r] =
            sature_32(std::int64_t{table.fins_cumulees_s[r - 1]} + table.durees_s[r]);
}
