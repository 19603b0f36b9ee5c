#include "etalonnage_journal.h"

#include "rejeu.h"

namespace {

constexpr std::int64_t dixiemes_par_jour = 864'000;

// The replay's answers, with the engine's time of day kept to the tenth and counted on past
// midnight, so that a run across it stays in order.
class Trejeu_horodate : public Trejeu {
public:
    using Trejeu::Trejeu;
    const Tmoteur* moteur = nullptr;
    std::optional<std::int64_t> maintenant;
    std::optional<std::int64_t> premier;

    Theure_du_jour heure() override {
        const Theure_du_jour h = Trejeu::heure();
        std::int64_t t = std::int64_t{h.heures} * 36'000 + std::int64_t{h.minutes} * 600 +
                         std::int64_t{h.secondes} * 10 + h.millisecondes / 100;
        if (moteur) t += moteur->etat.decalage_officiel;
        t = (t % dixiemes_par_jour + dixiemes_par_jour) % dixiemes_par_jour;
        if (maintenant) {
            const std::int64_t jours = *maintenant / dixiemes_par_jour;
            t += jours * dixiemes_par_jour;
            if (t < *maintenant - dixiemes_par_jour / 2) t += dixiemes_par_jour;
        }
        maintenant = t;
        if (!premier) premier = t;
        return h;
    }
};

} // namespace

std::optional<std::int32_t> lit_heure_dixiemes(std::string_view t) {
    const auto deux = [&](std::size_t i) -> std::optional<int> {
        if (i + 2 > t.size() || t[i] < '0' || t[i] > '9' || t[i + 1] < '0' || t[i + 1] > '9')
            return std::nullopt;
        return (t[i] - '0') * 10 + (t[i + 1] - '0');
    };
    if (t.size() != 8 && t.size() != 10) return std::nullopt;
    const auto h = deux(0), m = deux(3), s = deux(6);
    if (!h || !m || !s || t[2] != ':' || t[5] != ':' || *h > 23 || *m > 59 || *s > 59)
        return std::nullopt;
    std::int32_t d = 0;
    if (t.size() == 10) {
        if ((t[8] != ',' && t[8] != '.') || t[9] < '0' || t[9] > '9') return std::nullopt;
        d = t[9] - '0';
    }
    return *h * 36'000 + *m * 600 + *s * 10 + d;
}

std::string texte_heure_dixiemes(std::int64_t d) {
    d %= dixiemes_par_jour;
    const auto deux = [](std::int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return deux(d / 36'000) + ":" + deux(d / 600 % 60) + ":" + deux(d / 10 % 60) + "," +
           std::to_string(d % 10);
}

Tmesure_journal mesure_dans_journal(const Tjournal& j, std::int32_t de, std::int32_t a,
                                    const Tlongueur_base& base) {
    if (a <= de)
        throw Tmesure_refusee("--a " + texte_heure_dixiemes(a) + " doit venir après --de " +
                              texte_heure_dixiemes(de));
    Trejeu_horodate rejeu(j);
    Tmoteur moteur(rejeu);
    Tliaison_boitier liaison(moteur, rejeu);
    Tentree entree(moteur, liaison);
    rejeu.moteur = &moteur;

    // The two times on the run's own count of days: the first that falls in it.
    std::optional<std::int64_t> debut, fin;
    std::optional<std::int64_t> tours_debut, tours_fin;
    const auto releve = [&] {
        if (!rejeu.maintenant) return;
        if (!debut) {
            const std::int64_t p = *rejeu.premier;
            debut = de + (p / dixiemes_par_jour) * dixiemes_par_jour;
            if (*debut < p && p % dixiemes_par_jour > de + dixiemes_par_jour / 2)
                *debut += dixiemes_par_jour;
            fin = *debut + (a - de);
        }
        if (!tours_debut && *rejeu.maintenant >= *debut) tours_debut = moteur.etat.tours_de_roue;
        if (!tours_fin && *rejeu.maintenant >= *fin) tours_fin = moteur.etat.tours_de_roue;
    };
    rejeu.avant = [&](const Tevenement&, std::int64_t) { releve(); };
    rejeu.rejoue(entree);
    releve();

    if (!rejeu.premier) throw Tmesure_refusee("le journal ne donne aucune heure : rien à mesurer");
    const std::string etendue = " (le parcours va de " + texte_heure_dixiemes(*rejeu.premier) +
                                " à " + texte_heure_dixiemes(*rejeu.maintenant) + ")";
    if (*debut < *rejeu.premier)
        throw Tmesure_refusee("--de " + texte_heure_dixiemes(de) + " est avant le parcours" +
                              etendue);
    if (*fin > *rejeu.maintenant)
        throw Tmesure_refusee("--a " + texte_heure_dixiemes(a) + " est après le parcours" +
                              etendue);
    if (!tours_fin) tours_fin = moteur.etat.tours_de_roue;
    if (!tours_debut) tours_debut = tours_fin;
    Tmesure_journal r;
    r.tours = *tours_fin - *tours_debut;
    const auto paire = paire_de_base(r.tours, base);
    if (!paire)
        throw Tmesure_refusee(r.tours == 0 ? "aucun tour de roue entre ces deux heures"
                                           : "étalonnage trop grand pour le fichier");
    r.paire = *paire;
    return r;
}
