// The whole program in a guest, on an X server, driven by the virtual box through the
// kernel: set up as the program sets itself up, then checked as a crew would look at
// it (ETAT USB green on screen, the TOTAL and PARTIEL digits), closed, and the close
// report looked for at the box. A calibration base is driven by the box, measured in the
// window's own dialog and put in service. Its run is recorded as the program records it, and the
// journal must replay identical. Leaves a screenshot and the journal in $VELMORA_SORTIE.
#include "apparence.h"
#include "boitier_pilote.h"
#include "fiche_mere.h"
#include "hid_reel.h"
#include "horodatage_peinture.h"
#include "lecture_journal.h"
#include "rejeu.h"
#include "repertoire_journaux.h"
#include "services_qt.h"
#include "systeme_invite.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <QDir>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>

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
    reserve_cache_glyphes();
    QApplication app(argc, argv);
    prepare_programme(app);

    Tboitier_pilote boitier("boîtier", {});
    if (boitier.attend("branché") < 0 || attend_noeuds_boitier(1).size() != 1) {
        journal("ÉCHEC : le boîtier virtuel n'est pas apparu");
        return 1;
    }

    // The journal where the program keeps it, or beside the screenshot when there is one.
    const char* sortie_env = std::getenv("VELMORA_SORTIE");
    const std::string dossier = sortie_env ? std::string(sortie_env) + "/journaux"
                                           : QDir::tempPath().toStdString() + "/velmora_invite";
    Tnouveau_journal nouveau = ouvre_nouveau_journal(dossier, std::time(nullptr));
    verifie(nouveau.fichier != nullptr, "journal de bord ouvert");
    if (!nouveau.fichier) return 1;
    const std::string chemin_journal = nouveau.fichier->chemin().string();
    Tmode_fiche mode;
    mode.journal = std::move(nouveau.fichier);
    mode.date_journal = nouveau.date;

    Tservices_qt services;
    Thid_reel hid;
    auto fenetre = std::make_unique<Tfiche_mere>(services, hid, std::move(mode));
    Tfiche_mere& fiche = *fenetre;
    services.parent = &fiche;
    fiche.montre_au_centre();
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

    // The paints stamped for scripts/bench (ctest names their file): TOTAL's metres digit
    // was last painted showing what the screen shows, at times in order, none yet to come.
    if (const char* peintures = std::getenv("VELMORA_HORODATAGE_PEINTURE")) {
        verifie(horodatage_peinture_actif && ecrit_horodatages_peinture(),
                "horodatages des peintures écrits");
        timespec t{};
        clock_gettime(CLOCK_MONOTONIC, &t);
        const long long maintenant = static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
        std::ifstream f(peintures);
        long long ns = 0, precedent = 0;
        std::string nom, texte, dernier;
        bool dans_l_ordre = true;
        int peintures_m = 0;
        while (f >> ns >> nom >> texte) {
            if (nom != "la_tot_m") continue;
            dans_l_ordre = dans_l_ordre && ns >= precedent && ns <= maintenant;
            precedent = ns;
            dernier = texte;
            ++peintures_m;
        }
        journal("%d peintures du chiffre des mètres de TOTAL, la dernière : %s", peintures_m,
                dernier.c_str());
        verifie(peintures_m > 0 && dans_l_ordre && dernier == "0",
                "la dernière peinture horodatée du chiffre montre le 0 de 001000");
    }

    // A 1000 m base of 547 revolutions, measured through the MESURER dialog whatever the
    // calibration in service (540 for 1000 m), then put in service.
    const auto clique = [&fiche](const char* nom) {
        QWidget* w = fiche.findChild<QWidget*>(nom);
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    };
    clique("mesurer_etalonnage");
    clique("mesure_depart");
    const auto avant_base = boitier.nombre_de_lignes();
    boitier.commande("tours 547");
    verifie(tourne_jusqu_a([&] { return boitier.cherche("envoyé : 547 tours", avant_base) >= 0; }),
            "547 tours envoyés sur la base");
    const auto texte = [&fiche](const char* nom) { return fiche.findChild<QLabel*>(nom)->text(); };
    verifie(tourne_jusqu_a([&] { return texte("la_tours_mesures") == "547 tours"; }),
            "547 tours comptés par la mesure");
    clique("mesure_arrivee");
    QTest::keyClicks(fiche.findChild<QWidget*>("ed_base_mesure"), "1000");
    journal("mesure : %s", qPrintable(texte("la_paire_mesuree")));
    const bool paire_exacte = texte("la_paire_mesuree") == "Étalonnage 1 : 547 Trs pour 1000 m";
    verifie(paire_exacte, "la paire mesurée est 547 tours pour 1000 m");
    // A wrong pair would raise the plausibility box, which nobody closes in the guest.
    if (paire_exacte) clique("mesure_appliquer");
    verifie(texte("lb_tours_roue") == "547 Trs" && texte("lb_dist_etal") == "1000 m",
            "l'étalonnage mesuré est en service");
    const QString total_final = registre(fiche, "tot");

    const auto avant_fermeture = boitier.nombre_de_lignes();
    fiche.close();
    verifie(boitier.attend("sortie : 00 00", avant_fermeture, std::chrono::seconds(20)) >= 0,
            "le boîtier a reçu le rapport de fermeture 00 00");

    // The window gone, its journal is whole: replayed without the box, the clock or a file.
    fenetre.reset();
    try {
        const Tjournal j = lit_journal(chemin_journal);
        Tmoteur_rejoue rejeu(j);
        rejeu.rejoue();
        journal("journal %s : %zu lignes, %zu points de contrôle", chemin_journal.c_str(),
                j.lignes.size(), j.points.size());
        if (const auto& d = rejeu.rejeu.divergence()) journal("%s", texte_divergence(*d).c_str());
        verifie(j.complet && !rejeu.rejeu.divergence() && !rejeu.rejeu.coupe_dans_un_evenement() &&
                    !j.points.empty() && j.points.back().total == total_final.toStdString(),
                "le journal du parcours se rejoue à l'identique");
    } catch (const Tjournal_illisible& e) {
        journal("%s", e.what());
        verifie(false, "le journal du parcours se relit");
    }
    journal("%s", echecs ? "ÉCHEC" : "tout est vu");
    return echecs ? 1 : 0;
}
