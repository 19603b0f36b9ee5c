// How many wheel pulses a second the window carries from the box to the trip
// registers: code-48 input reports through the scripted HID library, the posted
// notifications, the application's event filter, the link and the odometer,
// with the labels drawn, until the queue drains.
#include "apparence.h"
#include "fiche_mere.h"
#include "hid_scripte.h"
#include "services_qt.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const long impulsions = argc > 1 ? std::atol(argv[1]) : 200000;
    int argc_qt = 1;
    reserve_cache_glyphes();
    QApplication app(argc_qt, argv);
    Tservices_qt services;
    Thid_scripte hid;
    Tfiche_mere fiche(services, hid);
    services.parent = &fiche;
    fiche.show();
    QApplication::processEvents();

    Tmoteur& m = fiche.moteur();
    m.etat.tours_etal = 540;
    m.etat.dist_etal = 1000;
    const THidHandle boitier = hid.branche(VID_BOITIER, PID_BOITIER);
    hid.change_liste();
    QApplication::processEvents();
    const std::int32_t avant = m.etat.compteur_total.valeur_en_metres();

    bool vide = false;
    const auto debut = std::chrono::steady_clock::now();
    for (long i = 0; i < impulsions; ++i)
        hid.injecte_rapport(boitier, {0, 48});
    // Posted after every report: it runs once the queue ahead of it has drained.
    QMetaObject::invokeMethod(
        &app, [&vide] { vide = true; }, Qt::QueuedConnection);
    while (!vide)
        QApplication::processEvents(QEventLoop::AllEvents);
    const double secondes =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();

    const long metres = m.etat.compteur_total.valeur_en_metres() - avant;
    const long attendus = impulsions * 1000 / 540 % 1000000;
    std::printf(
        "impulsions=%ld secondes=%.3f impulsions_par_seconde=%.0f metres=%ld attendus=%ld\n",
        impulsions, secondes, static_cast<double>(impulsions) / secondes, metres, attendus);
    return metres == attendus ? 0 : 1;
}
