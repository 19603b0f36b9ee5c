// The whole program in a guest, on an X server, driven by the virtual box through the
// kernel: set up as the program sets itself up, then checked as a crew would look at
// it (ETAT USB green on screen, the TOTAL and PARTIEL digits), closed, and the close
// report looked for at the box. Leaves a screenshot in $VELMORA_SORTIE.
#include "apparence.h"
#include "boitier_pilote.h"
#include "fiche_mere.h"
#include "hid_reel.h"
#include "services_qt.h"
#include "systeme_invite.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include <chrono>
#include <cstdlib>
#include <functional>

namespace {

using Thorloge = std::chrono::steady_clock;

int echecs = 0;

void verifie(bool condition, const char* quoi) {
    journal("%s : %s", condition ? "vu" : "ÉCHEC", quoi);
    if (!condition) ++echecs;
}

bool tourne_jusqu_a(const std::function<bool()>& condition, int secondes = 60) {
    const auto fin = Thorloge::now() + std::chrono::seconds(secondes);
    while (!condition()) {
        if (Thorloge::now() > fin) return false;
        // Timer1 ticks every 100 ms: the wait always ends.
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

QString registre(const Tfiche_mere& fiche, const char* prefixe) {
    QString t;
    for (const char* chiffre : {"centkilom", "dixkilom", "kilom", "centm", "dixm", "m"})
        t += fiche.findChild<QLabel*>(QString("la_%1_%2").arg(prefixe, chiffre))->text();
    return t;
}

// The colour on screen at the middle of a control.
QColor couleur_montree(Tfiche_mere& fiche, const char* nom) {
    const QWidget* w = fiche.findChild<QWidget*>(nom);
    const QImage image = fiche.grab().toImage();
    return image.pixelColor(w->mapTo(&fiche, w->rect().center()) * image.devicePixelRatio());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    prepare_programme(app);

    Tboitier_pilote boitier("boîtier", {});
    if (boitier.attend("branché") < 0 || attend_noeuds_boitier(1).size() != 1) {
        journal("ÉCHEC : le boîtier virtuel n'est pas apparu");
        return 1;
    }

    Tservices_qt services;
    Thid_reel hid;
    Tfiche_mere fiche(services, hid);
    services.parent = &fiche;
    montre_au_centre(fiche);
    journal("fenêtre « %s » montrée", qPrintable(fiche.windowTitle()));

    const QColor vert(0, 128, 0);
    verifie(tourne_jusqu_a([&] { return couleur_montree(fiche, "Panel1") == vert; }),
            "ETAT USB vert à l'écran");
    verifie(tourne_jusqu_a([&] { return boitier.cherche("ouvert") >= 0; }),
            "le programme a ouvert le boîtier");

    const auto deja = boitier.nombre_de_lignes();
    boitier.commande("tours 540");
    verifie(tourne_jusqu_a([&] { return boitier.cherche("envoyé : 540 tours", deja) >= 0; }),
            "540 tours envoyés");
    verifie(tourne_jusqu_a([&] { return registre(fiche, "tot") == "001000"; }),
            "TOTAL 001000 après 540 tours à 540 tours / 1000 m");
    verifie(registre(fiche, "par") == "001000", "PARTIEL 001000");
    journal("TOTAL %s, PARTIEL %s", qPrintable(registre(fiche, "tot")),
            qPrintable(registre(fiche, "par")));

    // The labels hold the texts; let the screen catch up before it is taken.
    const auto peint = Thorloge::now() + std::chrono::milliseconds(500);
    tourne_jusqu_a([&] { return Thorloge::now() > peint; });
    if (const char* sortie = std::getenv("VELMORA_SORTIE")) {
        const QString fichier = QString::fromLocal8Bit(sortie) + "/velmora_invite.png";
        const bool ecrit = QGuiApplication::primaryScreen()->grabWindow(0).save(fichier);
        journal("capture d'écran %s : %s", ecrit ? "gardée" : "NON écrite", qPrintable(fichier));
    }

    const auto avant_fermeture = boitier.nombre_de_lignes();
    fiche.close();
    verifie(boitier.attend("sortie : 00 00", avant_fermeture, std::chrono::seconds(20)) >= 0,
            "le boîtier a reçu le rapport de fermeture 00 00");
    journal("%s", echecs ? "ÉCHEC" : "tout est vu");
    return echecs ? 1 : 0;
}
