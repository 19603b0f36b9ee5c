// The baseline: a bare Qt window of the program's size, with one label that a
// 100 ms timer rewrites, measured by the same probe as the program.
#include "sonde_mesure.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTime>
#include <QTimer>

int main(int argc, char** argv) {
    const Targuments_mesure arguments = lit_arguments_mesure(argc, argv);
    int argc_qt = 1;
    QApplication app(argc_qt, argv);
    QMainWindow fenetre;
    fenetre.resize(1016, 723);
    auto* heure = new QLabel(&fenetre);
    heure->setGeometry(20, 20, 300, 40);
    fenetre.setCentralWidget(nullptr);
    QTimer minuterie;
    minuterie.setTimerType(Qt::PreciseTimer);
    QObject::connect(&minuterie, &QTimer::timeout, heure,
                     [heure] { heure->setText(QTime::currentTime().toString("HH:mm:ss")); });
    minuterie.start(100);
    Tsonde_mesure sonde(&fenetre, arguments.lancement_ns, arguments.repos_s, arguments.duree_s);
    fenetre.show();
    return app.exec();
}
