// The program as a crew runs it, measured by the same probe as the bare window:
// a zone validated and started, the cadenceur on, the simulated car at 80 km/h.
// With a fourth argument "repos" it is measured at rest instead, as it opens: no
// zone started, the car stopped (what the window costs before it has work to show).
#include "apparence.h"
#include "fiche_mere.h"
#include "hid_reel.h"
#include "services_qt.h"
#include "sonde_mesure.h"

#include <QApplication>
#include <QCheckBox>
#include <QScrollBar>
#include <QTime>

namespace {

std::string deux_chiffres(int v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

} // namespace

int main(int argc, char** argv) {
    const Targuments_mesure arguments = lit_arguments_mesure(argc, argv);
    int argc_qt = 1;
    QApplication app(argc_qt, argv);
    prepare_programme(app);

    Tservices_qt services;
    Thid_reel hid;
    Tfiche_mere fiche(services, hid);
    services.parent = &fiche;

    // A zone that started a minute ago, validated, with the car running at 80 km/h.
    Tmoteur& m = fiche.moteur();
    const bool en_route = !(argc > 4 && std::string(argv[4]) == "repos");
    const QTime depart = QTime::currentTime().addSecs(-60);
    m.cb_heure_zr.ecrit_texte(deux_chiffres(depart.hour()));
    m.cb_min_zr.ecrit_texte(deux_chiffres(depart.minute()));
    m.cb_sec_zr.ecrit_texte(deux_chiffres(depart.second()));
    m.memo_kms.ecrit_lignes({"2.500", "7.250", "120.000"});
    m.memo_moy.ecrit_lignes({"45.00", "48.5", "40"});
    if (en_route) {
        m.distribue([&] { m.valid_heure_zrClick(); });
        fiche.findChild<QScrollBar*>("ScrollBar1")->setValue(80);
        fiche.findChild<QCheckBox*>("CheckBox1")->click();
    }

    Tsonde_mesure sonde(&fiche, arguments.lancement_ns, arguments.repos_s, arguments.duree_s);
    fiche.show();
    return app.exec();
}
