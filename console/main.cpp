// The program: one window, no arguments, until the window is closed.
#include "apparence.h"
#include "fiche_mere.h"
#include "hid_reel.h"
#include "services_qt.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QStyle>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName("velmora");
    prepare_apparence(app);
    // Qt's own texts (buttons, file dialog) in French whatever the system language.
    QTranslator traduction_qt;
    if (traduction_qt.load(QLocale(QLocale::French, QLocale::France), "qtbase", "_",
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&traduction_qt);
    QLocale::setDefault(locale_utilisateur());

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
