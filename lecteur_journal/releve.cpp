#include "releve.h"

#include "commandes.h"
#include "heure_du_jour.h"
#include "texte_affichable.h"

#include <algorithm>

namespace {

std::string nom_led(const std::string& controle) {
    if (controle == "pa_vert") return "verte";
    if (controle.rfind("pa_m", 0) == 0) return "retard " + controle.substr(4, 1);
    if (controle.rfind("pa_", 0) == 0) return "avance " + controle.substr(3, 1);
    return "aucune";
}

// The average's text without the unit the label adds, with the French decimal comma of the
// survey's other columns whatever separator the window used; only its start is looked at.
std::string moyenne_en_cours(const Tmoteur& m) {
    std::string_view t = m.La_moy_en_cours.texte();
    for (std::string_view unite : {" kms/h", " Kms/h"})
        if (t.ends_with(unite)) t.remove_suffix(unite.size());
    std::string affiche = texte_affichable(t, texte_releve_max);
    std::replace(affiche.begin(), affiche.end(), '.', ',');
    return affiche;
}

std::string sans_blancs(const std::string& t) {
    const auto d = t.find_first_not_of(' ');
    if (d == std::string::npos) return {};
    return t.substr(d, t.find_last_not_of(' ') - d + 1);
}

std::string_view nom_de_fichier(std::string_view chemin) {
    // No system names a file with 4 KiB: the separator is looked for in the path's end only.
    chemin.remove_prefix(chemin.size() - std::min<std::size_t>(chemin.size(), 4096));
    const auto p = chemin.find_last_of("/\\");
    return p == std::string_view::npos ? chemin : chemin.substr(p + 1);
}

// Seconds since midnight of "HH:MM:SS"; 0 before the engine was given any time.
std::int32_t secondes_de(const std::string& h) {
    return lit_heure_dixiemes(h, false).value_or(0) / 10;
}

std::string signe(std::int64_t v) {
    return (v > 0 ? "+" : "") + std::to_string(v);
}

bool est_une_touche_du_trip(const Tevenement& e, const Tmoteur& m) {
    if (e.genre == Tgenre_evenement::clic)
        return e.controle == "Panel8" || e.controle == "Button3" || e.controle == "Button4" ||
               e.controle == "raz_trip";
    return e.genre == Tgenre_evenement::hid && e.wparam == NOTIFY_READ &&
           (m.etat.touche == 12 || m.etat.touche == 13 || m.etat.touche == 16);
}

class Treleveur {
public:
    Treleveur(const Tjournal& j, Treleve& r) : r_(r), m_(j) {
        m_.rejeu.avant = [this](const Tevenement&, std::int64_t) { avant(); };
        m_.rejeu.apres = [this](const Tevenement& e) { apres(e); };
        m_.rejeu.sur_point = [this](const Tpoint_controle& p) { point(p); };
    }

    void releve() {
        m_.rejoue();
        termine_zone();
        r_.divergence = m_.rejeu.divergence();
        r_.coupe = m_.rejeu.coupe_dans_un_evenement();
        r_.ligne_atteinte = m_.rejeu.ligne_atteinte();
    }

private:
    struct Tavant {
        std::int32_t total = 0, dist_etal = 0, tours_etal = 0;
        bool boitier = false;
        std::uint32_t ligne = 0;
    };

    void avant() {
        const Tetat_regularite& e = m_.moteur.etat;
        pile_.push_back({e.compteur_total.valeur_en_metres(), e.dist_etal, e.tours_etal,
                         e.boitier_present, m_.rejeu.ligne_de_l_evenement()});
    }

    void marque(Tgenre_marque g, std::string texte) {
        // Marks are drawn on a zone's page: none is kept outside the zones kept, nor beyond
        // what a page can show.
        if (!zone_ || r_.marques.size() - zone_->premiere_marque >= marques_zone_max) return;
        const Tmoteur& m = m_.moteur;
        r_.marques.push_back({g, secondes_de(m_.rejeu.heure_courante()),
                              m.etat.compteur_cadenceur.valeur_en_metres(), std::move(texte)});
    }

    void apres(const Tevenement& ev) {
        if (pile_.empty()) return;
        const Tavant a = pile_.back();
        pile_.pop_back();
        const Tmoteur& m = m_.moteur;
        const Tetat_regularite& e = m.etat;
        const std::int32_t total = e.compteur_total.valeur_en_metres();
        if (total != a.total && est_une_touche_du_trip(ev, m))
            marque(Tgenre_marque::correction_trip,
                   "trip " + signe(std::int64_t{total} - a.total) + " m");
        if (e.dist_etal != a.dist_etal || e.tours_etal != a.tours_etal)
            marque(Tgenre_marque::etalonnage, "étalonnage " + std::to_string(a.dist_etal) + " → " +
                                                  std::to_string(e.dist_etal) + " m");
        if (a.boitier && !e.boitier_present)
            marque(Tgenre_marque::debranchement, "boîtier débranché");
        if (!a.boitier && e.boitier_present && ev.genre == Tgenre_evenement::hid)
            marque(Tgenre_marque::rebranchement, "boîtier branché");
        if (ev.genre == Tgenre_evenement::clic && ev.controle == "valid_heure_zr" &&
            m.Panel6.couleur() == Tcouleur::sarcelle)
            nouvelle_zone(a.ligne);
    }

    void nouvelle_zone(std::uint32_t ligne) {
        termine_zone();
        if (r_.zones.size() > pages_journal_max) return;
        const Tmoteur& m = m_.moteur;
        const Tetat_regularite& e = m.etat;
        Tzone_validee z;
        z.nom =
            m.ZONE.texte().empty() ? "zone" : texte_affichable(m.ZONE.texte(), texte_releve_max);
        z.ligne = ligne;
        z.rallye = texte_affichable(nom_de_fichier(m.ed_fichier_rallye.texte()), texte_releve_max);
        z.depart = texte_hms({e.heure_zr, e.min_zr, e.sec_zr, 0});
        z.depart_secondes = secondes_de(z.depart);
        z.premier = r_.echantillons.size();
        z.premiere_marque = r_.marques.size();
        const std::int32_t n = std::min(e.nbr_lignes_zr, nbr_lignes_max);
        for (std::int32_t i = 0; i + 1 < n; ++i)
            z.changements.emplace_back(
                e.table_zr.distances_m[static_cast<std::size_t>(i)],
                texte_affichable(m.memo_moy.ligne(static_cast<std::size_t>(i + 1)),
                                 texte_releve_max));
        zone_ = std::move(z);
    }

    void termine_zone() {
        if (!zone_) return;
        zone_->fin = r_.echantillons.size();
        zone_->fin_marques = r_.marques.size();
        r_.zones.push_back(std::move(*zone_));
        zone_.reset();
    }

    void point(const Tpoint_controle& p) {
        const Tmoteur& m = m_.moteur;
        const Tetat_regularite& e = m.etat;
        Techantillon s;
        s.heure = p.heure;
        s.secondes = secondes_de(p.heure);
        s.chrono = sans_blancs(m.Labelchrono.texte());
        s.total_m = e.compteur_total.valeur_en_metres();
        s.partiel_m = e.compteur_partiel.valeur_en_metres();
        s.caden_m = e.compteur_cadenceur.valeur_en_metres();
        s.ecart_m = e.code_leds > 127 ? -e.ecart : e.ecart;
        s.led = nom_led(p.led);
        // Taken again only when the label changed: a long average is not copied a second.
        if (r_.moyennes.empty() || m.La_moy_en_cours.revision() != revision_moyenne_) {
            r_.moyennes.push_back(moyenne_en_cours(m));
            revision_moyenne_ = m.La_moy_en_cours.revision();
        }
        s.moyenne = static_cast<std::uint32_t>(r_.moyennes.size() - 1);
        s.boitier = e.boitier_present;
        s.cadenceur = m.cad_on.coche();
        s.seuil = e.seuil;
        r_.echantillons.push_back(std::move(s));
    }

    Treleve& r_;
    Tmoteur_rejoue m_;
    std::vector<Tavant> pile_;
    std::optional<Tzone_validee> zone_;
    std::uint64_t revision_moyenne_ = 0;
};

} // namespace

Treleve releve(const Tjournal& j) {
    Treleve r;
    Treleveur(j, r).releve();
    return r;
}
