// Zone schedule: the rally file, the extraction of a zone, the validation and the segment table.
#include "moteur.h"

#include "conversions.h"
#include "extraction_zone.h"
#include "lecture_lignes.h"
#include "validation_horaire.h"

#include <algorithm>
#include <string>

void Tmoteur::choisir_rallyeClick() {
    const auto nom = services.choisit_fichier();
    if (!nom) return;
    ed_fichier_rallye.ecrit_texte(*nom);
    const std::string& fichier = ed_fichier_rallye.texte();
    auto lignes = services.lit_fichier(fichier, Tfins_de_ligne::rallye, nbr_lignes_max);
    if (!lignes) throw Terreur_defaut(texte_ouverture_impossible(fichier));
    Memo_copie.ecrit_lignes(std::move(*lignes));
}

void Tmoteur::choisir_la_zr() {
    if (ed_fichier_rallye.texte().empty()) {
        ZONE.choisit(-1);
        services.message("Pour pouvoir choisir une zone il faut sélectionner un RALLYE");
        return;
    }
    const std::string separateur = services.separateur_decimal();
    const auto choisie = [&] {
        return Tzone_choisie{Memo_copie.revision(), ZONE.index(), separateur, memo_kms.revision(),
                             memo_moy.revision()};
    };
    // The same zone of the same file with the same separator, the fields untouched since it
    // was extracted: the same lines, cleared and written back as an extraction would.
    if (zone_choisie_ == choisie()) {
        memo_kms.ecrit_lignes(memo_kms.retire());
        memo_moy.ecrit_lignes(memo_moy.retire());
        zone_choisie_ = choisie();
        return;
    }
    Tzone_extraite zone = extrait_zone(Memo_copie, ZONE.index(), separateur);
    memo_kms.efface();
    memo_kms.ecrit_lignes(std::move(zone.distances.lignes));
    memo_moy.efface();
    memo_moy.ecrit_lignes(std::move(zone.moyennes.lignes));
    zone_choisie_.reset();

    if (!zone.distances.trouvee) {
        services.message("Cette ZR est inexistante dans le fichier");
        memo_kms.ajoute("10.00");
        memo_moy.ajoute("45.00");
        ZONE.choisit(-1);
        return;
    }
    zone_choisie_ = choisie();
}

void Tmoteur::valid_heure_zrClick() {
    etat.depart_propose = false;
    etat.heure_zr = convertit_entier(cb_heure_zr.texte());
    etat.min_zr = convertit_entier(cb_min_zr.texte());
    etat.sec_zr = convertit_entier(cb_sec_zr.texte());
    Labelchrono.ecrit_texte(" 0:00:00 ");

    etat.nbr_lignes_zr = compte_rangees(memo_kms, memo_moy);
    lb_nbr_changem.ecrit_texte(std::to_string(etat.nbr_lignes_zr - 1));

    transforme_virgule_point();

    cad_on.ecrit_coche(true);
    retard.ecrit_position(0);
    Panel6.ecrit_couleur(Tcouleur::sarcelle);
    etat.ecart = 0;
    la_ecart.ecrit_texte(".   0.");
    La_moy_en_cours.ecrit_texte(moyenne_nulle);
}

void Tmoteur::transforme_virgule_point() {
    const std::int32_t n = std::clamp(etat.nbr_lignes_zr, 0, nbr_lignes_max);
    const std::string separateur = services.separateur_decimal();
    Ttable_zr& table = etat.table_zr;
    const auto convertis = [&] {
        return Tconversion{memo_kms.revision(), memo_moy.revision(), separateur, n};
    };
    // Fields converted whole with this separator and untouched since: a prepared line prepares
    // to itself (when the separator holds no point), so the table they gave stands.
    if (conversion_ != convertis() || separateur.find('.') != std::string::npos) {
        conversion_.reset();
        bool echec = false;
        const auto erreur = [this, &echec](std::int32_t) {
            echec = true;
            services.message("erreur");
        };
        convertit_rangees(memo_kms, table.distances_m, n, separateur, erreur);
        convertit_rangees(memo_moy, table.moyennes_mh, n, separateur, erreur);
        if (!echec) conversion_ = convertis();
    }
    calcule_fins_rangees(table, n);
}
