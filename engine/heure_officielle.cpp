// The official time: the rally clock read at every tick, the crew's offset (HO), and what the
// crew is told when the computer's clock steps.
#include "avant_depart.h"
#include "moteur.h"

namespace {

const std::string texte_zone_en_cours =
    "Une zone est en cours : l'heure officielle ne change pas pendant une zone, CADEN "
    "sauterait d'autant. Décochez ON pour la changer.";

} // namespace

bool Tmoteur::zone_en_cours() const {
    return cad_on.coche() && etat.dixiemes_ecoules > 0;
}

Thorloge_rallye::Tlecture Tmoteur::lit_horloges() {
    const Thorloge_rallye::Tlecture l = etat.horloge.lit(services.horloges(), zone_en_cours());
    etat.compteur_lu_ms = l.compteur_ms;
    if (l.reprise) signale_saut(*l.reprise);
    if (l.saut) signale_saut(*l.saut);
    return l;
}

Theure_du_jour Tmoteur::heure_officielle() {
    return etat.horloge.officielle(lit_horloges().compteur_ms);
}

Theure_du_jour Tmoteur::heure_officielle_lue() const {
    return etat.horloge.officielle(etat.compteur_lu_ms);
}

void Tmoteur::signale_saut(const Tsaut_horloge& s) {
    services.saut_horloge(s);
    const std::string quand = texte_hms(heure_officielle_lue()) + " : ";
    const std::string saut = texte_duree_signee(s.saut_ms);
    switch (s.suite) {
    case Tsuite_saut::suivi:
        la_horloge.ecrit_texte(quand + "l'horloge de l'ordinateur a changé de " + saut +
                               ". Hors zone, l'heure du VELMORA la suit.");
        la_horloge.ecrit_couleur(Tcouleur::degrade_legende_inactive);
        break;
    case Tsuite_saut::garde_zone:
        la_horloge.ecrit_texte(quand + "ZONE EN COURS, l'horloge de l'ordinateur a sauté de " +
                               saut +
                               ". CADEN garde l'heure officielle jusqu'à la fin de la zone.");
        la_horloge.ecrit_couleur(Tcouleur::rouge);
        break;
    case Tsuite_saut::garde_officielle:
        la_horloge.ecrit_texte(quand + "l'horloge de l'ordinateur a sauté de " + saut +
                               ". L'heure officielle donnée (HO) ne change pas.");
        la_horloge.ecrit_couleur(zone_en_cours() ? Tcouleur::rouge
                                                 : Tcouleur::degrade_legende_inactive);
        break;
    case Tsuite_saut::repris:
        la_horloge.ecrit_texte(quand +
                               "zone finie, l'heure du VELMORA suit de nouveau "
                               "l'horloge de l'ordinateur (" +
                               saut + ").");
        la_horloge.ecrit_couleur(Tcouleur::degrade_legende_inactive);
        break;
    }
    la_horloge.ecrit_visible(true);
    montre_decalage_officiel();
    if (s.suite == Tsuite_saut::suivi || s.suite == Tsuite_saut::repris) propose_depart_si_libre();
}

void Tmoteur::la_horlogeClick() {
    la_horloge.ecrit_visible(false);
}

void Tmoteur::montre_decalage_officiel() {
    const Thorloge_rallye& h = etat.horloge;
    const std::int64_t d = h.decalage_ms();
    if (!h.heure_officielle_donnee() && d == 0)
        la_decalage_officiel.ecrit_texte("Heure de l'ordinateur, sans décalage.");
    else if (d == 0)
        la_decalage_officiel.ecrit_texte("Heure officielle = heure de l'ordinateur.");
    else
        la_decalage_officiel.ecrit_texte(
            "Heure officielle = heure de l'ordinateur " + texte_duree_signee(d) +
            (h.heure_officielle_donnee() ? ""
                                         : " (l'horloge de l'ordinateur a sauté pendant la "
                                           "zone en cours)"));
}

void Tmoteur::valid_heure_officielleClick() {
    if (zone_en_cours()) {
        services.message(texte_zone_en_cours);
        return;
    }
    const Thorloge_rallye::Tlecture l = lit_horloges();
    const auto d = decalage_officiel(ed_heure_officielle.texte(), l.ordinateur_ms);
    if (!d) {
        services.message("'" + ed_heure_officielle.texte() +
                         "' : tapez l'heure officielle à la minute ronde (10:15) au moment où "
                         "l'horloge officielle la montre, ou le décalage en secondes (-2,3).");
        return;
    }
    etat.horloge.donne_heure_officielle(l, std::int64_t{*d} * 100);
    montre_decalage_officiel();
    propose_depart_si_libre();
}

void Tmoteur::raz_heure_officielleClick() {
    if (zone_en_cours()) {
        services.message(texte_zone_en_cours);
        return;
    }
    etat.horloge.retire_heure_officielle();
    ed_heure_officielle.ecrit_texte("");
    montre_decalage_officiel();
    propose_depart_si_libre();
}
