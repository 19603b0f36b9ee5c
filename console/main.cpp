// The program: one window, no arguments, until the window is closed.
#include "apparence.h"
#include "fiche_mere.h"
#include "hid_reel.h"
#include "services_qt.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    prepare_programme(app);

    Tservices_qt services;
    Thid_reel hid;
    Tfiche_mere fiche(services, hid);
    services.parent = &fiche;
    montre_au_centre(fiche);
    return app.exec();
}
