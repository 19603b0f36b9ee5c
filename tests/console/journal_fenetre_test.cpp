// The window's run recorded through its own widgets, replayed without a window, and
// played back in a window of its own.
#include "apparence.h"
#include "fenetre_essai.h"
#include "rejeu_fenetre.h"
#include "services_scriptes.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

namespace {

void clique(const Tfenetre_essai& f, const char* nom) {
    QWidget* w = f.controle(nom);
    QVERIFY2(w != nullptr, nom);
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

QString registre(Tfiche_mere& fiche, const char* rang) {
    QString t;
    for (const char* c : {"centkilom", "dixkilom", "kilom", "centm", "dixm", "m"})
        t += fiche.findChild<QLabel*>(QString("la_%1_%2").arg(rang, c))->text();
    return t;
}

// Lets the clock tick through `secondes` seconds of the engine's time, one a tick.
void laisse_tourner(Tfenetre_essai& f, int secondes) {
    for (int i = 0; i < secondes; ++i) {
        const QString avant = f.texte("Labelheure");
        f.services.temps.secondes += 1;
        if (f.services.temps.secondes == 60) {
            f.services.temps.secondes = 0;
            f.services.temps.minutes += 1;
        }
        QTRY_VERIFY(f.texte("Labelheure") != avant);
    }
}

} // namespace

class Tjournal_fenetre_test : public QObject {
    Q_OBJECT
    Trepertoire_temporaire rep_;
    std::string journal_;
    QString total_, partiel_, ecart_;

private slots:
    void initTestCase() {
        qputenv("LC_ALL", "C");
        prepare_apparence(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    // Every kind of event the crew can give the window: the journal replays them exactly.
    void le_parcours_de_la_fenetre_se_rejoue_a_l_identique() {
        journal_ = rep_.chemin() + "fenetre.journal";
        {
            Tfenetre_essai f({10, 0, 0, 0}, [&](Tfenetre_essai& e) {
                std::string erreur;
                e.mode.journal = Tfichier_journal::cree(journal_, erreur);
                e.mode.date_journal = "2026-12-07 10:00:00";
            });
            QVERIFY(f.fiche->enregistreur() != nullptr);
            f.fiche->show();
            QVERIFY(QTest::qWaitForWindowExposed(f.fiche.get()));

            const THidHandle boitier = f.hid.branche(VID_BOITIER, PID_BOITIER);
            f.hid.change_liste();
            QTRY_VERIFY(f.hid.lecture_notifiee(boitier));
            f.services.fichiers.push_back(std::nullopt); // the dialog cancelled
            clique(f, "choisir_rallye");
            f.services.fichiers.push_back(std::string(VELMORA_RALLYE_EXEMPLE));
            clique(f, "choisir_rallye");
            auto* zone = f.controle<QComboBox>("ZONE");
            zone->setCurrentIndex(1);
            emit zone->activated(1);
            QTest::keyClicks(f.controle<QLineEdit>("ed_seuil_conf"), "25");
            clique(f, "valid_seuil");
            auto* secondes = f.controle<QComboBox>("cb_sec_zr");
            secondes->lineEdit()->selectAll();
            QTest::keyClicks(secondes->lineEdit(), "00");
            clique(f, "valid_heure_zr");
            auto* etal = f.controle<QComboBox>("cb_num_etal");
            etal->setCurrentIndex(1);
            emit etal->activated(1);
            clique(f, "plus_etal");
            clique(f, "format3");
            f.services.temps = {10, 2, 0, 0}; // the zone has started
            for (int s = 0; s < 6; ++s) {
                for (int t = 0; t < 7 + s; ++t)
                    f.hid.injecte_rapport(boitier, {0, 48});
                laisse_tourner(f, 1);
            }
            clique(f, "cb_offcet_cad");
            QTest::keyClicks(f.controle<QLineEdit>("ed_offcet_cad"), "15");
            clique(f, "valid_offcet_cad");
            f.controle<QScrollBar>("ScrollBar1")->setValue(80);
            const QString avant_simulation = registre(*f.fiche, "tot");
            clique(f, "CheckBox1");
            QTest::qWait(400); // the simulated wheel turns a few times
            QVERIFY(registre(*f.fiche, "tot") != avant_simulation);
            clique(f, "CheckBox1");
            // A box open while the clock ticks and the box sends revolutions.
            f.boites.pendant = [&](QMessageBox*) {
                for (int t = 0; t < 5; ++t)
                    f.hid.injecte_rapport(boitier, {0, 48});
                laisse_tourner(f, 2);
            };
            QTest::keyClicks(f.controle<QLineEdit>("ed_seuil_conf"), "x");
            clique(f, "valid_seuil");
            QTRY_COMPARE(f.boites.textes.size(), std::size_t{1});
            f.boites.pendant = nullptr;
            for (const char* touche : {"Button6", "Button15", "Button10", "Button5", "Panel8"})
                clique(f, touche);
            f.hid.debranche(boitier);
            laisse_tourner(f, 1);
            const THidHandle revenu = f.hid.branche(VID_BOITIER, PID_BOITIER);
            f.hid.change_liste();
            QTRY_VERIFY(f.hid.lecture_notifiee(revenu));
            f.hid.injecte_rapport(revenu, {0, 48});
            laisse_tourner(f, 2);
            total_ = registre(*f.fiche, "tot");
            partiel_ = registre(*f.fiche, "par");
            ecart_ = f.texte("la_ecart");
            QVERIFY(f.fiche->close());
        }
        const Tjournal j = lit_journal(journal_);
        QVERIFY(j.complet);
        QVERIFY(j.points.size() >= 10);
        Tmoteur_rejoue m(j);
        m.rejoue();
        if (m.rejeu.divergence()) QFAIL(texte_divergence(*m.rejeu.divergence()).c_str());
        QVERIFY(!m.rejeu.coupe_dans_un_evenement());
        QCOMPARE(QString::fromStdString(j.points.back().total), total_);
    }

    // The same run in a window of its own: the title says the crew's input is ignored, a
    // click changes nothing, and the window ends as the recorded one did.
    void le_rejeu_dans_la_fenetre_montre_le_parcours_sans_l_equipage() {
        QVERIFY(!journal_.empty());
        const Tjournal j = lit_journal(journal_);
        Trejeu rejeu(j);
        Tmode_fiche mode;
        mode.rejeu = true;
        Tfiche_mere fiche(rejeu, rejeu, std::move(mode));
        // At the recorded pace: the window's own timers run as they did, and must not count.
        Tlecteur_fenetre lecteur(fiche, rejeu, journal_, 1);
        QCOMPARE(fiche.windowTitle(),
                 QString("LOGICIEL DE SIMULATION DU VELMORA — rejeu de "
                         "fenetre.journal : commandes de l'équipage ignorées"));
        fiche.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fiche));
        bool clic_essaye = false;
        rejeu.apres = [&](const Tevenement&) {
            if (clic_essaye || registre(fiche, "par") == "000000") return;
            clic_essaye = true;
            for (const char* nom : {"RAZ", "cb_marche_ar"}) {
                QWidget* w = fiche.findChild<QWidget*>(nom);
                QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
            }
            QVERIFY(registre(fiche, "par") != "000000");
            QVERIFY(!fiche.findChild<QAbstractButton*>("cb_marche_ar")->isChecked());
        };
        lecteur.joue();
        QVERIFY(clic_essaye);
        if (rejeu.divergence()) QFAIL(texte_divergence(*rejeu.divergence()).c_str());
        QVERIFY(fiche.windowTitle().contains("fin du rejeu de fenetre.journal"));
        QCOMPARE(registre(fiche, "tot"), total_);
        QCOMPARE(registre(fiche, "par"), partiel_);
        QCOMPARE(fiche.findChild<QLabel*>("la_ecart")->text(), ecart_);
        // Still the crew's input goes nowhere once the replay is over.
        QWidget* raz = fiche.findChild<QWidget*>("RAZ");
        QTest::mouseClick(raz, Qt::LeftButton, {}, raz->rect().center());
        QCOMPARE(registre(fiche, "par"), partiel_);
    }
};

QTEST_MAIN(Tjournal_fenetre_test)
#include "journal_fenetre_test.moc"
