// velmora-tableau: the time table of a regularity zone, as a spreadsheet on standard
// output or as a printable PDF.
#include "application_page.h"
#include "arguments_programme.h"
#include "ecriture_fichier.h"
#include "entree_refusee.h"
#include "horaire_rallye.h"
#include "marque_en_marche.h"
#include "options_tableau.h"
#include "sortie_csv.h"
#include "sortie_pdf.h"
#include "tableau_marche.h"
#include "texte_affichable.h"

#include <iostream>
#include <new>
#include <sstream>

namespace {

constexpr int statut_entree_refusee = 2;
constexpr int statut_ecriture_impossible = 1;

// Everything said on standard error, escaped: a file's or an argument's text never commands
// the terminal.
void dit(const std::string& message) {
    std::cerr << lignes_affichables(message) << '\n';
}

int imprime(char* programme, const Toptions_tableau& o, const std::vector<Tligne_marche>& lignes) {
    const Tapplication_page application(programme);
    if (const auto echec =
            ecrit_pdf(*o.pdf, {o.rallye, o.zone, o.pas_m, o.depart_dixiemes}, lignes)) {
        dit(*echec);
        return statut_ecriture_impossible;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    pose_marque_en_marche();
    prepare_console();
    try {
        const Toptions_tableau o = lit_options(arguments_programme(argc, argv));
        std::ostringstream csv;
        if (o.aide) {
            csv << usage_tableau << '\n' << aide_tableau << '\n';
        } else {
            const Thoraire_zone horaire = lit_horaire_zone(o.rallye, o.zone);
            for (const auto& a : horaire.avertissements)
                dit(a);
            const auto lignes = tableau_de_marche(horaire.table, horaire.nbr_rangees, o.pas_m);
            if (o.pdf) return imprime(argv[0], o, lignes);
            ecrit_csv(csv, lignes, o.depart_dixiemes);
        }
        // Standard output too is written through the one checked way: a table that did not
        // reach it is an error.
        Tecriture_fichier sortie("-", {}, true);
        if (!sortie.ouvre() || !sortie.ecrit(csv.view()) || !sortie.termine()) {
            dit(sortie.message());
            return statut_ecriture_impossible;
        }
        return 0;
    } catch (const Tligne_refusee& e) {
        dit("velmora-tableau : " + std::string(e.what()) + '\n' + usage_tableau);
        return statut_entree_refusee;
    } catch (const Tentree_refusee& e) {
        dit(e.what());
        return statut_entree_refusee;
    } catch (const std::bad_alloc&) {
        dit("Mémoire insuffisante");
        return statut_entree_refusee;
    }
}
