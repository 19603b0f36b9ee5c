// The baseline: a bare Qt window of the program's size, with one label that a
// 100 ms timer rewrites, measured by the same probe as the program.
#include "sonde_mesure.h"

#include <QApplication>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char** argv) {
    const Targuments_mesure arguments = lit_arguments_mesure(argc, argv);
    int argc_qt = 1;
    QApplication app(argc_qt, argv);
    QMainWindow fenetre;
    QTimer minuterie;
    prepare_fenetre_nue(fenetre, minuterie);
    Tsonde_mesure sonde(&fenetre, arguments.lancement_ns, arguments.repos_s, arguments.duree_s);
    fenetre.show();
    return app.exec();
}
