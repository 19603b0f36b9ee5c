// The program: one window until it is closed, its run recorded in a journal unless
// --sans-journal; or, with --rejeu, a journal played back in the window.
#include "apparence.h"
#include "fiche_mere.h"
#include "hid_reel.h"
#include "lecture_journal.h"
#include "marque_en_marche.h"
#include "options_velmora.h"
#include "plateforme.h"
#include "rejeu_fenetre.h"
#include "repertoire_journaux.h"
#include "services_qt.h"
#include "texte_affichable.h"

#include <QApplication>

#include <ctime>
#include <iostream>
#include <new>

int main(int argc, char** argv) {
    pose_marque_en_marche();
    Toptions_velmora o = lit_options_velmora(argc, argv);
    if (o.erreur) {
        std::cerr << "velmora : " << lignes_affichables(*o.erreur) << '\n' << usage_velmora << '\n';
        return 2;
    }
    if (o.aide) {
        std::cout << usage_velmora << '\n';
        return 0;
    }
    std::optional<Tjournal> a_rejouer;
    if (o.rejeu) try {
            a_rejouer = lit_journal(*o.rejeu);
        } catch (const Tjournal_illisible& e) {
            std::cerr << "velmora : " << e.what() << '\n';
            return 2;
        } catch (const std::bad_alloc&) {
            std::cerr << "velmora : mémoire insuffisante pour lire le journal "
                      << texte_affichable(*o.rejeu, 200) << '\n';
            return 2;
        }

    int argc_qt = static_cast<int>(o.arguments_qt.size()) - 1;
    reserve_cache_glyphes();
    QApplication app(argc_qt, o.arguments_qt.data());
    prepare_programme(app);
    if (a_rejouer) return rejoue_dans_la_fenetre(app, *a_rejouer, *o.rejeu, o.vitesse);

    Tmode_fiche mode;
    if (o.journal) {
        Tnouveau_journal journal = ouvre_nouveau_journal(dossier_journaux(), std::time(nullptr));
        if (!journal.fichier)
            std::cerr << "velmora : pas de journal de bord pour ce parcours : "
                      << lignes_affichables(journal.erreur) << '\n';
        mode.journal = std::move(journal.fichier);
        mode.date_journal = journal.date;
    }
    Tservices_qt services;
    Thid_reel hid;
    Tfiche_mere fiche(services, hid, std::move(mode));
    services.parent = &fiche;
    fiche.montre_au_centre();
    return app.exec();
}
