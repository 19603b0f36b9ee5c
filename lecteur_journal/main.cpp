// velmora-journal: a run journal replayed through the engine, without a window; checked,
// written out a line a second for a spreadsheet, or drawn.
#include "arguments_programme.h"
#include "etalonnage_journal.h"
#include "lecture_journal.h"
#include "marque_en_marche.h"
#include "options_journal.h"
#include "rejeu.h"
#include "releve.h"
#include "sortie_csv_journal.h"
#include "sortie_pdf_journal.h"

#include <QGuiApplication>

#include <iostream>
#include <new>
#include <tuple>

namespace {

constexpr int statut_divergence = 1;
constexpr int statut_refuse = 2;
constexpr int statut_rien_compare = 3;

std::string jusqu_a(const char* fait, std::uint32_t ligne) {
    return ligne == 0 ? std::string("rien n'a été ") + fait
                      : std::string(fait) + " jusqu'à la ligne " + std::to_string(ligne);
}

// What a journal cut by a crash or a cut of power still gave, `fait` ("rejoué", "relevé")
// up to where the replay really stopped (`atteinte`); whether it was cut.
bool dit_coupure(const std::string& nom, const Tjournal& j, bool coupe_dans_un_evenement,
                 std::uint32_t atteinte, const char* fait) {
    if (j.ligne_coupee)
        std::cerr << nom << " : journal coupé au milieu de la ligne " << *j.ligne_coupee << " : "
                  << jusqu_a(fait, atteinte) << '\n';
    else if (coupe_dans_un_evenement)
        std::cerr << nom
                  << " : journal coupé au milieu d'un évènement : " << jusqu_a(fait, atteinte)
                  << '\n';
    return j.ligne_coupee || coupe_dans_un_evenement;
}

int rejoue(const Toptions_journal& o, const Tjournal& j) {
    Tmoteur_rejoue m(j);
    m.rejoue();
    if (!dit_coupure(o.journal, j, m.rejeu.coupe_dans_un_evenement(), m.rejeu.ligne_atteinte(),
                     "rejoué") &&
        !j.complet && !m.rejeu.divergence())
        std::cerr << o.journal
                  << " : journal sans sa fin : le programme s'est arrêté sans fermer sa "
                     "fenêtre ; rejoué jusqu'à sa dernière ligne\n";
    if (const auto& d = m.rejeu.divergence()) {
        std::cout << texte_divergence(*d) << '\n';
        return statut_divergence;
    }
    // "identique" says that what the crew saw was compared, and found the same.
    if (m.rejeu.points_compares() == 0) {
        std::cout << "rien de comparé : aucun point de contrôle dans ce journal\n";
        return statut_rien_compare;
    }
    std::cout << "identique\n";
    return 0;
}

// The survey's divergence or cut, said on standard error; the status it gives.
int dit_fin_du_releve(const std::string& nom, const Tjournal& j, const Treleve& r) {
    dit_coupure(nom, j, r.coupe, r.ligne_atteinte, "relevé");
    if (!r.divergence) return 0;
    std::cerr << nom << " : le rejeu s'arrête à sa " << texte_divergence(*r.divergence)
              << "\n  le relevé s'arrête là.\n";
    return statut_divergence;
}

int csv(const Toptions_journal& o, const Tjournal& j) {
    const Treleve r = releve(j);
    ecrit_csv_journal(std::cout, r);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "Impossible d'écrire le relevé sur la sortie\n";
        return statut_divergence;
    }
    return dit_fin_du_releve(o.journal, j, r);
}

// Qt's notes about its own set-up are not the reader's business; only its real failures.
void messages_qt(QtMsgType type, const QMessageLogContext&, const QString& texte) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << texte.toStdString() << '\n';
}

int dessin(char* programme, const Toptions_journal& o, const Tjournal& j) {
    const Treleve r = releve(j);
    if (r.zones.size() > pages_journal_max) {
        std::cerr << o.journal << " : ligne " << r.zones[pages_journal_max].ligne
                  << " : une zone validée de plus que les " << pages_journal_max
                  << " pages qu'un relevé dessine au plus ; rien n'est dessiné\n";
        return statut_refuse;
    }
    // No window is ever shown: the fonts are all the drawing needs from the platform. Windows'
    // own platform has them; the offscreen one there knows only fonts shipped with Qt.
#ifndef Q_OS_WIN
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    qInstallMessageHandler(messages_qt);
    int argc = 1;
    char* argv[] = {programme, nullptr};
    QGuiApplication application(argc, argv);
    std::string erreur;
    const Tentete_journal entete{o.journal, j.date};
    const bool ecrit = o.png ? ecrit_png_journal(*o.sortie, entete, r, erreur)
                             : ecrit_pdf_journal(*o.sortie, entete, r, erreur);
    if (!ecrit) {
        std::cerr << erreur << '\n';
        return statut_divergence;
    }
    return dit_fin_du_releve(o.journal, j, r);
}

// The base measured after the fact: its times and length checked, then the run replayed.
int etalonnage(const Toptions_journal& o, const Tjournal& j) {
    const auto de = lit_heure_dixiemes(*o.de);
    const auto a = lit_heure_dixiemes(*o.a);
    const auto base = lit_longueur_base(*o.base);
    for (const auto& [valeur, nom, texte] :
         {std::tuple{de.has_value(), "--de", *o.de}, std::tuple{a.has_value(), "--a", *o.a}})
        if (!valeur) {
            std::cerr << "velmora-journal : " << nom << " « " << texte
                      << " » n'est pas une heure HH:MM:SS ou HH:MM:SS,d\n";
            return statut_refuse;
        }
    if (!base) {
        std::cerr << "velmora-journal : --base « " << *o.base
                  << " » n'est pas une longueur en mètres (1000 ou 1234,5)\n";
        return statut_refuse;
    }
    try {
        const Tmesure_journal m = mesure_dans_journal(j, *de, *a, *base);
        std::cout << "Tours de roue de " << texte_heure_dixiemes(*de) << " à "
                  << texte_heure_dixiemes(*a) << " : " << m.tours << '\n'
                  << "Étalonnage : " << m.paire.tours << " Trs pour " << m.paire.metres << " m\n";
        return 0;
    } catch (const Tmesure_refusee& e) {
        std::cerr << "velmora-journal : " << e.what() << '\n';
        return statut_refuse;
    }
}

} // namespace

int main(int argc, char** argv) {
    pose_marque_en_marche();
    prepare_console();
    try {
        const Toptions_journal o = lit_options_journal(arguments_programme(argc, argv));
        if (o.aide) {
            std::cout << usage_journal << '\n' << aide_journal << '\n';
            return 0;
        }
        const Tjournal j = lit_journal(o.journal);
        switch (o.commande) {
        case Tcommande_journal::rejoue:
            return rejoue(o, j);
        case Tcommande_journal::csv:
            return csv(o, j);
        case Tcommande_journal::pdf:
            return dessin(argv[0], o, j);
        case Tcommande_journal::etalonnage:
            return etalonnage(o, j);
        }
        return 0;
    } catch (const Tligne_refusee& e) {
        std::cerr << "velmora-journal : " << e.what() << '\n' << usage_journal << '\n';
        return statut_refuse;
    } catch (const Tjournal_illisible& e) {
        std::cerr << e.what() << '\n';
        return statut_refuse;
    } catch (const std::bad_alloc&) {
        // A journal too big for this computer is refused like any other it cannot read.
        std::cerr << "Mémoire insuffisante pour lire ce journal\n";
        return statut_refuse;
    } catch (const std::length_error&) {
        std::cerr << "Mémoire insuffisante pour lire ce journal\n";
        return statut_refuse;
    }
}
