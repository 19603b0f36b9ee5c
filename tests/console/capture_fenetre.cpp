// Takes the picture of the window shown in the README: a zone of the sample
// rally validated, the cadenceur running and the car moving for a few seconds.
// With a folder after it, also the two dialogs of the tasks before a start, filled in as a
// crew leaves them: mesure_etalonnage.png after a 1000 m base, heure_officielle.png and
// horloge_officielle.png (the clock panel) with an offset of -2,3 s, and saut_horloge.png (the
// gap panel with the notice of a clock set back in a zone).
//     capture_fenetre docs/fenetre.png [docs/guide]
#include "apparence.h"
#include "fenetre_essai.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>

namespace {

// The dialogs in a window of their own, away from the zone the README's picture runs: the
// official time cannot change during a zone.
bool dialogues(const QString& dossier) {
    Tfenetre_essai f({9, 59, 40, 0});
    f.fiche->show();
    if (!QTest::qWaitForWindowExposed(f.fiche.get())) return false;
    const auto clique = [&f](QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    };
    clique(f.controle("mesurer_etalonnage"));
    auto* mesure = f.controle<QDialog>("dialogue_mesure");
    if (!QTest::qWaitForWindowExposed(mesure)) return false;
    clique(f.controle("mesure_depart"));
    // A 1000 m base driven by the simulated car: 547 revolutions of its wheel.
    for (int i = 0; i < 547; ++i)
        f.fiche->entree().distribue(Tevenement::simple(Tgenre_evenement::tic2));
    clique(f.controle("mesure_arrivee"));
    QTest::keyClicks(f.controle("ed_base_mesure"), "1000");
    QTest::qWait(200);
    if (!mesure->grab().save(dossier + "/mesure_etalonnage.png")) return false;
    mesure->hide();

    clique(f.controle("Labelheure"));
    auto* heure = f.controle<QDialog>("dialogue_heure");
    if (!QTest::qWaitForWindowExposed(heure)) return false;
    QTest::keyClicks(f.controle("ed_heure_officielle"), "-2,3");
    clique(f.controle("valid_heure_officielle"));
    f.services.temps = {10, 0, 5, 0};
    if (!QTest::qWaitFor([&] { return f.texte("Labelheure").contains("HO"); }, 2000)) return false;
    QTest::qWait(200);
    if (!heure->grab().save(dossier + "/heure_officielle.png")) return false;
    if (!f.controle("Panel6")->grab().save(dossier + "/horloge_officielle.png")) return false;
    return f.boites.textes.empty();
}

// The gap panel as a zone leaves it when the computer's clock is set back 2,3 s in its middle.
bool bandeau(const QString& dossier) {
    Tfenetre_essai f({10, 0, 30, 0});
    f.fiche->show();
    if (!QTest::qWaitForWindowExposed(f.fiche.get())) return false;
    f.controle<QComboBox>("cb_heure_zr")->setCurrentText("10");
    f.controle<QComboBox>("cb_min_zr")->setCurrentText("00");
    QWidget* valider = f.controle("valid_heure_zr");
    QTest::mouseClick(valider, Qt::LeftButton, {}, valider->rect().center());
    f.services.temps = {10, 1, 0, 0};
    QTest::qWait(300);
    f.services.saute(-2300);
    if (!QTest::qWaitFor([&] { return f.montre("la_horloge"); }, 2000)) return false;
    QTest::qWait(200);
    return f.controle("Panel5")->grab().save(dossier + "/saut_horloge.png") &&
           f.boites.textes.empty();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage : %s fichier.png [dossier]\n", argv[0]);
        return 2;
    }
    prepare_apparence(app);
    QElapsedTimer ecoule;
    ecoule.start();
    // 09:59:59 when the window opens, then the real pace.
    const auto horloge = [&ecoule] {
        const qint64 ms = 9 * 3600000LL + 59 * 60000LL + 59000LL + ecoule.elapsed();
        return Theure_du_jour{int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60),
                              int(ms % 1000)};
    };
    Tfenetre_essai f({9, 59, 59, 0}, [&](Tfenetre_essai& e) {
        e.services.horloge = horloge;
        // The rally clock's counter at the same pace: the computer's clock never steps here.
        e.services.compteur = [&] { return ecoule.elapsed(); };
    });
    f.services.fichiers.push_back(std::string(VELMORA_RALLYE_EXEMPLE));
    f.fiche->show();
    if (!QTest::qWaitForWindowExposed(f.fiche.get())) return 1;

    const auto clique = [&f](const char* nom) {
        QWidget* w = f.controle(nom);
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    };
    clique("choisir_rallye");
    // The name a crew's own machine would show, not the build machine's folder; the file's
    // lines are already read, and nothing reads this name again.
    f.fiche->moteur().ed_fichier_rallye.ecrit_texte("/home/equipage/rallye_exemple.txt");
    auto* zone = f.controle<QComboBox>("ZONE");
    zone->setCurrentIndex(1);
    emit zone->activated(1);
    f.controle<QComboBox>("cb_heure_zr")->setCurrentText("10");
    f.controle<QComboBox>("cb_min_zr")->setCurrentText("00");
    clique("valid_heure_zr");
    // The car sets off with the zone's start.
    if (!QTest::qWaitFor([&] { return f.services.horloges().ordinateur.heures == 10; }, 5000))
        return 1;
    clique("CheckBox1");
    QTest::qWait(7500);
    if (!f.boites.textes.empty()) return 1;
    if (!f.fiche->grab().save(QString::fromLocal8Bit(argv[1]))) return 1;
    if (argc == 3 && !dialogues(QString::fromLocal8Bit(argv[2]))) return 1;
    if (argc == 3 && !bandeau(QString::fromLocal8Bit(argv[2]))) return 1;
    return 0;
}
