// The program: one window, no arguments, until the window is closed.
#include "apparence.h"
#include "fiche_mere.h"
#include "hid_reel.h"
#include "services_qt.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    prepare_programme(app);

    Tservices_qt services;
    Thid_reel hid;
    Tfiche_mere fiche(services, hid);
    services.parent = &fiche;
    if (const QScreen* ecran = QGuiApplication::primaryScreen())
        fiche.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, fiche.size(),
                                              ecran->availableGeometry()));
    fiche.show();
    return app.exec();
}
