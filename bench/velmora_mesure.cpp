// The program as a crew runs it, measured by the same probe as the bare window:
// a zone validated and started, the cadenceur on, the simulated car at 80 km/h.
// With a fourth argument "repos" it is measured at rest instead, as it opens: no
// zone started, the car stopped (what the window costs before it has work to show).
// With "journal" it runs as with none, its run recorded as the program records it, into
// the folder $VELMORA_JOURNAUX (the system's temporary folder by default).
#include "apparence.h"
#include "fiche_mere.h"
#include "hid_reel.h"
#include "repertoire_journaux.h"
#include "services_qt.h"
#include "sonde_mesure.h"
#include "zone_commencee.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QScrollBar>

#include <ctime>
#include <iostream>

int main(int argc, char** argv) {
    const Targuments_mesure arguments = lit_arguments_mesure(argc, argv);
    int argc_qt = 1;
    reserve_cache_glyphes();
    QApplication app(argc_qt, argv);
    prepare_programme(app);

    const std::string scenario = argc > 4 ? argv[4] : "";
    Tmode_fiche mode;
    if (scenario == "journal") {
        const QString dossier = qEnvironmentVariable("VELMORA_JOURNAUX", QDir::tempPath());
        Tnouveau_journal j = ouvre_nouveau_journal(dossier.toStdString(), std::time(nullptr));
        if (!j.fichier) {
            std::cerr << "pas de journal : " << j.erreur << '\n';
            return 1;
        }
        mode.journal = std::move(j.fichier);
        mode.date_journal = j.date;
    }
    Tservices_qt services;
    Thid_reel hid;
    Tfiche_mere fiche(services, hid, std::move(mode));
    services.parent = &fiche;

    // The zone validated, with the car running at 80 km/h.
    const bool en_route = scenario != "repos";
    tape_une_zone_commencee(fiche.entree());
    if (en_route) {
        fiche.entree().distribue(Tevenement::clic("valid_heure_zr"));
        fiche.findChild<QScrollBar*>("ScrollBar1")->setValue(80);
        fiche.findChild<QCheckBox*>("CheckBox1")->click();
    }

    Tsonde_mesure sonde(&fiche, arguments.lancement_ns, arguments.repos_s, arguments.duree_s);
    fiche.montre_au_centre();
    return app.exec();
}
