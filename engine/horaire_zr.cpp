// Zone schedule: the rally file, the extraction of a zone, the validation and the segment table.
#include "moteur.h"

#include "conversions.h"
#include "entier_sature.h"
#include "extraction_zone.h"
#include "lecture_lignes.h"
#include "ligne_horaire.h"

#include <string>

void Tmoteur::choisir_rallyeClick() {
    const auto nom = services.choisit_fichier();
    if (!nom) return;
    ed_fichier_rallye.ecrit_texte(*nom);
    const std::string& fichier = ed_fichier_rallye.texte();
    auto lignes = lit_lignes(fichier, Tfins_de_ligne::rallye, nbr_lignes_max);
    if (!lignes) throw Terreur_defaut(texte_ouverture_impossible(fichier));
    Memo_copie.ecrit_lignes(std::move(*lignes));
}

void Tmoteur::choisir_la_zr() {
    if (ed_fichier_rallye.texte().empty()) {
        ZONE.choisit(-1);
        services.message("Pour pouvoir choisir une zone il faut sélectionner un RALLYE");
        return;
    }
    const std::string n = std::to_string(ZONE.index());
    const std::string separateur = services.separateur_decimal();

    Tsection_zone distances = extrait_section(Memo_copie, "KZR" + n, separateur);
    memo_kms.efface();
    memo_kms.ecrit_lignes(std::move(distances.lignes));

    Tsection_zone moyennes = extrait_section(Memo_copie, "MZR" + n, separateur);
    memo_moy.efface();
    memo_moy.ecrit_lignes(std::move(moyennes.lignes));

    if (!distances.trouvee) {
        services.message("Cette ZR est inexistante dans le fichier");
        memo_kms.ajoute("10.00");
        memo_moy.ajoute("45.00");
        ZONE.choisit(-1);
    }
}

void Tmoteur::valid_heure_zrClick() {
    etat.heure_zr = convertit_entier(cb_heure_zr.texte());
    etat.min_zr = convertit_entier(cb_min_zr.texte());
    etat.sec_zr = convertit_entier(cb_sec_zr.texte());
    Labelchrono.ecrit_texte(" 0:00:00 ");

    std::int32_t lignes = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(nbr_lignes_max); ++i)
        if (!memo_kms.ligne(i).empty() && !memo_moy.ligne(i).empty()) ++lignes;
    etat.nbr_lignes_zr = lignes;
    lb_nbr_changem.ecrit_texte(std::to_string(lignes - 1));

    transforme_virgule_point();

    cad_on.ecrit_coche(true);
    retard.ecrit_position(0);
    Panel6.ecrit_couleur(Tcouleur::sarcelle);
    etat.ecart = 0;
    la_ecart.ecrit_texte(".   0.");
    La_moy_en_cours.ecrit_texte("00.00 kms/h");
}

namespace {

// Rewrites each of the first n rows of a field exactly converted, in thousandths, into
// `table`; a row that does not convert shows "erreur" and keeps its line and entry.
void convertit_rangees(Tmodele_memo& champ, std::array<std::int32_t, nbr_lignes_max>& table,
                       std::int32_t n, const std::string& separateur, Iservices& services) {
    for (std::int32_t i = 0; i < n; ++i) {
        const auto rang = static_cast<std::size_t>(i);
        std::string texte = prepare_ligne_horaire(champ.ligne(rang), separateur);
        const auto milliemes = milliemes_depuis_texte(texte, separateur);
        if (!milliemes) {
            services.message("erreur");
            continue;
        }
        champ.remplace(rang, texte);
        table[rang] = *milliemes;
    }
}

} // namespace

void Tmoteur::transforme_virgule_point() {
    const std::int32_t n = etat.nbr_lignes_zr < 0                ? 0
                           : etat.nbr_lignes_zr > nbr_lignes_max ? nbr_lignes_max
                                                                 : etat.nbr_lignes_zr;
    const std::string separateur = services.separateur_decimal();
    Ttable_zr& table = etat.table_zr;
    convertit_rangees(memo_kms, table.distances_m, n, separateur, services);
    convertit_rangees(memo_moy, table.moyennes_mh, n, separateur, services);
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
