// Zone schedule: the rally file, the extraction of a zone, the validation and the segment table.
#include "moteur.h"

#include "conversions.h"
#include "extraction_zone.h"
#include "lecture_lignes.h"
#include "ligne_horaire.h"
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

Tmodele_memo::Tlignes Tmoteur::section_gardee(const std::string& cle) {
    Tzones_extraites& z = *zones_extraites_;
    std::vector<Tmodele_memo::Tligne> lignes;
    for (const std::int32_t i : numeros_de_section(Memo_copie, cle)) {
        Tmodele_memo::Tligne& preparee = z.preparees[static_cast<std::size_t>(i)];
        if (!preparee)
            preparee = Tmodele_memo::partage(
                prepare_ligne_horaire(Memo_copie.ligne(static_cast<std::size_t>(i)), z.separateur));
        lignes.push_back(preparee);
    }
    return std::make_shared<const std::vector<Tmodele_memo::Tligne>>(std::move(lignes));
}

Tmoteur::Tzone_gardee& Tmoteur::zone_gardee(int zone, const std::string& separateur) {
    if (!zones_extraites_ || zones_extraites_->revision_source != Memo_copie.revision() ||
        zones_extraites_->separateur != separateur) {
        zones_extraites_.reset();
        zones_extraites_ = Tzones_extraites{
            Memo_copie.revision(),
            separateur,
            std::vector<Tmodele_memo::Tligne>(static_cast<std::size_t>(nbr_lignes_max)),
            {}};
    }
    auto& zones = zones_extraites_->zones;
    if (const auto gardee = zones.find(zone); gardee != zones.end()) return gardee->second;
    const std::string numero = std::to_string(zone);
    Tzone_gardee g;
    g.distances = section_gardee("KZR" + numero);
    g.moyennes = section_gardee("MZR" + numero);
    g.trouvee = !g.distances->empty();
    if (!g.trouvee) {
        const auto avec = [](const Tmodele_memo::Tlignes& l, const std::string& defaut) {
            auto copie = std::make_shared<std::vector<Tmodele_memo::Tligne>>(*l);
            copie->push_back(Tmodele_memo::partage(defaut));
            return Tmodele_memo::Tlignes(std::move(copie));
        };
        g.distances_defaut = avec(g.distances, "10.00");
        g.moyennes_defaut = avec(g.moyennes, "45.00");
    }
    return zones.emplace(zone, std::move(g)).first->second;
}

void Tmoteur::choisir_la_zr() {
    if (ed_fichier_rallye.texte().empty()) {
        ZONE.choisit(-1);
        services.message("Pour pouvoir choisir une zone il faut sélectionner un RALLYE");
        return;
    }
    // A copy of four pointers: the message below may run the window's events.
    const Tzone_gardee zone = zone_gardee(ZONE.index(), services.separateur_decimal());
    memo_kms.efface();
    memo_kms.ecrit_partagees(zone.distances);
    memo_moy.efface();
    memo_moy.ecrit_partagees(zone.moyennes);
    if (!zone.trouvee) {
        services.message("Cette ZR est inexistante dans le fichier");
        memo_kms.ecrit_partagees(zone.distances_defaut);
        memo_moy.ecrit_partagees(zone.moyennes_defaut);
        ZONE.choisit(-1);
    }
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
    // Fields converted with this separator and untouched since: a prepared line prepares to
    // itself (unless the separator holds a point beside other bytes), so the table they gave
    // stands and the rows that did not convert still do not.
    const bool stable = separateur == "." || separateur.find('.') == std::string::npos;
    if (!stable || conversion_ != convertis()) {
        conversion_.reset();
        std::int32_t echecs = 0;
        const auto erreur = [this, &echecs](std::int32_t) {
            ++echecs;
            services.message("erreur");
        };
        convertit_rangees(memo_kms, table.distances_m, n, separateur, erreur);
        convertit_rangees(memo_moy, table.moyennes_mh, n, separateur, erreur);
        conversion_ = convertis();
        echecs_conversion_ = echecs;
    } else {
        for (std::int32_t i = 0; i < echecs_conversion_; ++i)
            services.message("erreur");
    }
    calcule_fins_rangees(table, n);
}
