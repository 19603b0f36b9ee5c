// velmora-tableau: the time table of a regularity zone, as a spreadsheet on standard
// output or as a printable PDF.
#include "arguments_programme.h"
#include "entree_refusee.h"
#include "horaire_rallye.h"
#include "marque_en_marche.h"
#include "options_tableau.h"
#include "sortie_csv.h"
#include "sortie_pdf.h"
#include "tableau_marche.h"

#include <QGuiApplication>

#include <iostream>
#include <new>

namespace {

constexpr int statut_entree_refusee = 2;
constexpr int statut_ecriture_impossible = 1;

// Qt's notes about its own set-up (no runtime directory, and the like) are not the
// crew's business; only its real failures are said.
void messages_qt(QtMsgType type, const QMessageLogContext&, const QString& texte) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << texte.toStdString() << '\n';
}

int imprime(char* programme, const Toptions_tableau& o, const std::vector<Tligne_marche>& lignes) {
    // No window is ever shown: the fonts are all the PDF needs from the platform. Windows'
    // own platform has them; the offscreen one there knows only fonts shipped with Qt.
#ifndef Q_OS_WIN
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    qInstallMessageHandler(messages_qt);
    // Its own arguments are read already: Qt gets none of them to interpret.
    int argc = 1;
    char* argv[] = {programme, nullptr};
    QGuiApplication application(argc, argv);
    if (const auto echec =
            ecrit_pdf(*o.pdf, {o.rallye, o.zone, o.pas_m, o.depart_dixiemes}, lignes)) {
        std::cerr << "Impossible d'écrire le fichier " << *o.pdf << " : " << *echec << '\n';
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
        if (o.aide) {
            std::cout << usage_tableau << '\n' << aide_tableau << '\n';
            return 0;
        }
        const Thoraire_zone horaire = lit_horaire_zone(o.rallye, o.zone);
        for (const auto& a : horaire.avertissements)
            std::cerr << a << '\n';
        const auto lignes = tableau_de_marche(horaire.table, horaire.nbr_rangees, o.pas_m);
        if (o.pdf) return imprime(argv[0], o, lignes);
        ecrit_csv(std::cout, lignes, o.depart_dixiemes);
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "Impossible d'écrire le tableau sur la sortie\n";
            return statut_ecriture_impossible;
        }
        return 0;
    } catch (const Tentree_refusee& e) {
        std::cerr << e.what() << '\n';
        return statut_entree_refusee;
    } catch (const std::bad_alloc&) {
        std::cerr << "Mémoire insuffisante\n";
        return statut_ecriture_impossible;
    }
}
