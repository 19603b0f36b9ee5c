#include "etalonnage_journal.h"

#include "heure_du_jour.h"
#include "rejeu.h"

namespace {

std::int64_t modulo_jour(std::int64_t d) {
    return (d % dixiemes_par_jour + dixiemes_par_jour) % dixiemes_par_jour;
}

} // namespace

Tmesure_journal mesure_dans_journal(const Tjournal& j, std::int32_t de, std::int32_t a,
                                    const Tlongueur_base& base) {
    // Over midnight, --a comes the next day: the base is the stretch from one to the other.
    const std::int64_t duree = modulo_jour(std::int64_t{a} - de);
    if (duree == 0)
        throw Tmesure_refusee("--a " + texte_heure_dixiemes(a) + " doit venir après --de " +
                              texte_heure_dixiemes(de));
    Tmoteur_rejoue m(j);

    // The engine's official time in tenths, counted on past midnight from the run's first day.
    std::optional<std::int64_t> premier, maintenant, debut, fin;
    std::optional<std::int64_t> tours_debut, tours_fin;
    const auto releve = [&] {
        const Thorloge_rallye& h = m.moteur.etat.horloge;
        if (!h.prise()) return;
        maintenant = h.officiel_continu_ms(m.moteur.etat.compteur_lu_ms) / 100;
        if (!premier) {
            premier = maintenant;
            // --de where the run's clock nearest shows it, then --a after it.
            debut = *premier + ecart_sur_le_jour(std::int64_t{de} * 100, *premier * 100) / 100;
            fin = *debut + duree;
        }
        if (!tours_debut && *maintenant >= *debut) tours_debut = m.moteur.etat.tours_de_roue;
        if (!tours_fin && *maintenant >= *fin) tours_fin = m.moteur.etat.tours_de_roue;
    };
    m.rejeu.avant = [&](const Tevenement&, std::int64_t) { releve(); };
    m.rejoue();
    if (!m.rejeu.divergence()) releve();

    if (!premier) throw Tmesure_refusee("le journal ne donne aucune heure : rien à mesurer");
    const std::string etendue = " (le parcours va de " + texte_heure_dixiemes(*premier) + " à " +
                                texte_heure_dixiemes(*maintenant) + ")";
    if (*debut < *premier)
        throw Tmesure_refusee("--de " + texte_heure_dixiemes(de) + " est avant le parcours" +
                              etendue);
    Tmesure_journal r;
    r.divergence = m.rejeu.divergence();
    // A replay that parts from the run before the base's end counts revolutions the crew did
    // not drive; after it, the base is measured as it was driven.
    r.divergence_dans_la_base = r.divergence && !tours_fin;
    if (r.divergence_dans_la_base) return r;
    if (!tours_fin)
        throw Tmesure_refusee("--a " + texte_heure_dixiemes(a) + " est après le parcours" +
                              etendue);
    if (!tours_debut) tours_debut = tours_fin;
    r.tours = *tours_fin - *tours_debut;
    const auto paire = paire_de_base(r.tours, base);
    if (!paire)
        throw Tmesure_refusee(r.tours == 0  ? "aucun tour de roue entre ces deux heures"
                              : r.tours < 0 ? "moins de tours à --a qu'à --de : la voiture a "
                                              "reculé plus qu'elle n'a avancé"
                                            : "étalonnage trop grand pour le fichier");
    r.paire = *paire;
    return r;
}
