// Takes the picture of the window shown in the README: a zone of the sample
// rally validated, the cadenceur running and the car moving for a few seconds.
//     capture_fenetre docs/fenetre.png
#include "apparence.h"
#include "fenetre_essai.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage : %s fichier.png\n", argv[0]);
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
    Tfenetre_essai f({9, 59, 59, 0}, [&](Tfenetre_essai& e) { e.services.horloge = horloge; });
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
    if (!QTest::qWaitFor([&] { return f.services.heure().heures == 10; }, 5000)) return 1;
    clique("CheckBox1");
    QTest::qWait(7500);
    if (!f.boites.textes.empty()) return 1;
    return f.fiche->grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
