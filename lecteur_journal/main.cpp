// velmora-journal: a run journal replayed through the engine, without a window; checked,
// written out a line a second for a spreadsheet, or drawn.
#include "application_page.h"
#include "arguments_programme.h"
#include "ecriture_fichier.h"
#include "etalonnage_journal.h"
#include "heure_du_jour.h"
#include "lecture_journal.h"
#include "marque_en_marche.h"
#include "options_journal.h"
#include "rejeu.h"
#include "releve.h"
#include "sortie_csv_journal.h"
#include "sortie_pdf_journal.h"
#include "texte_affichable.h"

#include <iostream>
#include <new>

namespace {

constexpr int statut_divergence = 1;
constexpr int statut_ecriture_impossible = 1;
constexpr int statut_refuse = 2;
constexpr int statut_rien_compare = 3;

// What the program says on standard output, written at its end through the one checked way.
std::string sortie_standard;

// Everything the program says goes through here, escaped: a journal's or an argument's text
// never commands the terminal.
void dit(std::ostream& o, const std::string& message) {
    if (&o == &std::cout)
        sortie_standard += lignes_affichables(message) + '\n';
    else
        o << lignes_affichables(message) << '\n';
}

std::string jusqu_a(const char* fait, std::uint32_t ligne) {
    return ligne == 0 ? std::string("rien n'a été ") + fait
                      : std::string(fait) + " jusqu'à la ligne " + std::to_string(ligne);
}

// What a journal cut by a crash or a cut of power still gave, `fait` ("rejoué", "relevé")
// up to where the replay really stopped (`atteinte`); whether it was cut.
bool dit_coupure(const std::string& nom, const Tjournal& j, bool coupe_dans_un_evenement,
                 std::uint32_t atteinte, const char* fait) {
    if (j.ligne_coupee)
        dit(std::cerr, nom + " : journal coupé au milieu de la ligne " +
                           std::to_string(*j.ligne_coupee) + " : " + jusqu_a(fait, atteinte));
    else if (coupe_dans_un_evenement)
        dit(std::cerr,
            nom + " : journal coupé au milieu d'un évènement : " + jusqu_a(fait, atteinte));
    return j.ligne_coupee || coupe_dans_un_evenement;
}

int rejoue(const std::string& nom, const Tjournal& j) {
    Tmoteur_rejoue m(j);
    m.rejoue();
    if (!dit_coupure(nom, j, m.rejeu.coupe_dans_un_evenement(), m.rejeu.ligne_atteinte(),
                     "rejoué") &&
        !j.complet && !m.rejeu.divergence())
        dit(std::cerr, nom + " : journal sans sa fin : le programme s'est arrêté sans fermer sa "
                             "fenêtre ; rejoué jusqu'à sa dernière ligne");
    if (const auto& d = m.rejeu.divergence()) {
        dit(std::cout, texte_divergence(*d));
        return statut_divergence;
    }
    // "identique" says that what the crew saw was compared, and found the same.
    if (m.rejeu.points_compares() == 0) {
        dit(std::cout, "rien de comparé : aucun point de contrôle dans ce journal");
        return statut_rien_compare;
    }
    dit(std::cout, "identique");
    return 0;
}

// The survey's divergence or cut, said on standard error; the status it gives.
int dit_fin_du_releve(const std::string& nom, const Tjournal& j, const Treleve& r) {
    dit_coupure(nom, j, r.coupe, r.ligne_atteinte, "relevé");
    if (!r.divergence) return 0;
    dit(std::cerr, nom + " : le rejeu s'arrête à sa " + texte_divergence(*r.divergence) +
                       "\n  le relevé s'arrête là.");
    return statut_divergence;
}

int csv(const Toptions_journal& o, const std::string& nom, const Tjournal& j) {
    const Treleve r = releve(j);
    Tecriture_fichier sortie(o.sortie.value_or("-"), {o.journal}, true);
    if (!sortie.ouvre() ||
        !ecrit_csv_journal([&](std::string_view l) { return sortie.ecrit(l); }, r) ||
        !sortie.termine()) {
        dit(std::cerr, sortie.message());
        return statut_ecriture_impossible;
    }
    return dit_fin_du_releve(nom, j, r);
}

int dessin(char* programme, const Toptions_journal& o, const std::string& nom, const Tjournal& j) {
    const Treleve r = releve(j);
    if (r.zones.size() > pages_journal_max) {
        dit(std::cerr, nom + " : ligne " + std::to_string(r.zones[pages_journal_max].ligne) +
                           " : une zone validée de plus que les " +
                           std::to_string(pages_journal_max) +
                           " pages qu'un relevé dessine au plus ; rien n'est dessiné");
        return statut_refuse;
    }
    const Tapplication_page application(programme);
    std::string erreur;
    const Tentete_journal entete{o.journal, j.date};
    const bool ecrit = o.png ? ecrit_png_journal(*o.sortie, entete, r, erreur)
                             : ecrit_pdf_journal(*o.sortie, entete, r, erreur);
    if (!ecrit) {
        dit(std::cerr, erreur);
        return statut_ecriture_impossible;
    }
    return dit_fin_du_releve(nom, j, r);
}

// The base measured after the fact: its times and length read with the options, then the run
// replayed.
int etalonnage(const Toptions_journal& o, const Tjournal& j) {
    const std::int32_t de = *o.de, a = *o.a;
    const Tlongueur_base base = *o.base;
    try {
        const Tmesure_journal m = mesure_dans_journal(j, de, a, base);
        if (m.divergence_dans_la_base) {
            dit(std::cerr, "velmora-journal : le rejeu s'écarte du parcours enregistré avant la "
                           "fin de la base : rien n'est mesuré.\n" +
                               texte_divergence(*m.divergence));
            return statut_divergence;
        }
        if (m.divergence)
            dit(std::cerr, "velmora-journal : attention, le rejeu s'écarte du parcours après la "
                           "base (la mesure n'en dépend pas) :\n" +
                               texte_divergence(*m.divergence));
        if (!longueur_base_plausible(base))
            dit(std::cerr, "velmora-journal : attention, une base de " +
                               texte_decimal(base.valeur, base.decimales) +
                               " m ? Une base mesure de 100 m à 100 km : vérifiez --base (pour "
                               "mille mètres, 1000).");
        const std::string roue = texte_decimal(tour_de_roue_mm(m.tours, base), 1);
        dit(std::cout,
            "Tours de roue de " + texte_heure_dixiemes(de) + " à " + texte_heure_dixiemes(a) +
                " : " + std::to_string(m.tours) +
                "\nÉtalonnage : " + std::to_string(m.paire.tours) + " Trs pour " +
                std::to_string(m.paire.metres) + " m\n" +
                (roue_plausible(m.paire) ? "Tour de roue de " + roue + " cm"
                                         : "Les valeurs semblent erronnées ! (un tour de roue de " +
                                               roue + " cm, hors de 135 à 220 cm)"));
        return 0;
    } catch (const Tmesure_refusee& e) {
        dit(std::cerr, std::string("velmora-journal : ") + e.what());
        return statut_refuse;
    }
}

int commande(char* programme, const Toptions_journal& o) {
    if (o.aide) {
        dit(std::cout, std::string(usage_journal) + '\n' + aide_journal);
        return 0;
    }
    const Tjournal j = lit_journal(o.journal);
    const std::string nom = texte_affichable(o.journal, 200);
    switch (o.commande) {
    case Tcommande_journal::rejoue:
        return rejoue(nom, j);
    case Tcommande_journal::csv:
        return csv(o, nom, j);
    case Tcommande_journal::pdf:
        return dessin(programme, o, nom, j);
    case Tcommande_journal::etalonnage:
        return etalonnage(o, j);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    pose_marque_en_marche();
    prepare_console();
    int statut = 0;
    try {
        statut = commande(argv[0], lit_options_journal(arguments_programme(argc, argv)));
    } catch (const Tligne_refusee& e) {
        dit(std::cerr, std::string("velmora-journal : ") + e.what() + '\n' + usage_journal);
        statut = statut_refuse;
    } catch (const Tjournal_illisible& e) {
        dit(std::cerr, e.what());
        statut = statut_refuse;
    } catch (const std::bad_alloc&) {
        // A journal too big for this computer is refused like any other it cannot read.
        dit(std::cerr, "Mémoire insuffisante pour lire ce journal");
        statut = statut_refuse;
    } catch (const std::length_error&) {
        dit(std::cerr, "Mémoire insuffisante pour lire ce journal");
        statut = statut_refuse;
    }
    // A verdict that did not reach its reader is no verdict: a failed standard output is an
    // error whatever was said on it.
    if (!sortie_standard.empty()) {
        Tecriture_fichier sortie("-", {}, true);
        if (!sortie.ouvre() || !sortie.ecrit(sortie_standard) || !sortie.termine()) {
            dit(std::cerr, "velmora-journal : " + sortie.message());
            if (statut != statut_refuse) statut = statut_ecriture_impossible;
        }
    }
    return statut;
}
