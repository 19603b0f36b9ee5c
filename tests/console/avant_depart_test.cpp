// The tasks before a start through the window's own widgets: a base driven by the simulated
// car and by the box, its pair put in service and saved into its slot; the journal's route to
// the same pair; and the official time as an offset of the computer's clock.
#include "apparence.h"
#include "etalonnage_journal.h"
#include "execution_programme.h"
#include "fenetre_essai.h"
#include "rejeu.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <filesystem>

namespace {

void clique(const Tfenetre_essai& f, const char* nom) {
    QWidget* w = f.controle(nom);
    QVERIFY2(w != nullptr, nom);
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

QString registre(const Tfenetre_essai& f, const char* rang) {
    QString t;
    for (const char* c : {"centkilom", "dixkilom", "kilom", "centm", "dixm", "m"})
        t += f.texte(QString("la_%1_%2").arg(rang, c).toLatin1().constData());
    return t;
}

// The clock set to `h`, and one tick of the window seen through it.
void heure(Tfenetre_essai& f, Theure_du_jour h) {
    const QString avant = f.texte("Labelchrono") + f.texte("Labelheure");
    f.services.temps = h;
    QTRY_VERIFY(f.texte("Labelchrono") + f.texte("Labelheure") != avant);
}

// `n` revolutions of the simulated car, running as fast as its timer goes, or of the box.
void roule(Tfenetre_essai& f, int n, std::optional<THidHandle> boitier) {
    const std::int64_t avant = f.fiche->moteur().etat.tours_de_roue;
    if (boitier) {
        for (int i = 0; i < n; ++i)
            f.hid.injecte_rapport(*boitier, {0, 48});
    } else {
        auto* roue = f.fiche->findChild<QTimer*>("Timer2");
        int tours = 0;
        auto c = QObject::connect(roue, &QTimer::timeout, [&] {
            // The window's own handler ran first: the revolution is counted.
            if (++tours == n) clique(f, "CheckBox1");
        });
        clique(f, "CheckBox1");
        roue->setInterval(1);
        QTRY_VERIFY_WITH_TIMEOUT(!roue->isActive(), 20000);
        QObject::disconnect(c);
    }
    QTRY_COMPARE(f.fiche->moteur().etat.tours_de_roue, avant + n);
}

const std::string fichier_etalonnage = "541\r\n1000\r\n540\r\n1030\r\n539\r\n1000\r\nbase 2026\n";

} // namespace

class Tavant_depart_test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        qputenv("LC_ALL", "C");
        prepare_apparence(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    void la_base_donne_la_paire_exacte_qui_sert_et_s_enregistre_seule_data() {
        QTest::addColumn<bool>("boitier");
        QTest::newRow("voiture simulée") << false;
        QTest::newRow("boîtier") << true;
    }
    // Calibration 2 reads 3 % long: 540 revolutions of the 1000 m base show 1030 m.
    void la_base_donne_la_paire_exacte_qui_sert_et_s_enregistre_seule() {
        QFETCH(bool, boitier);
        Trepertoire_temporaire rep;
        const std::string fichier = rep.ecrit("etalonnage.txt", fichier_etalonnage);
        const std::string journal = rep.chemin() + "base.journal";
        QString paire_vue;
        {
            Tfenetre_essai f({10, 0, 0, 0}, [&](Tfenetre_essai& e) {
                e.services.repertoire = rep.chemin();
                std::string erreur;
                e.mode.journal = Tfichier_journal::cree(journal, erreur);
                e.mode.date_journal = "2026-12-08 10:00:00";
            });
            f.fiche->show();
            QVERIFY(QTest::qWaitForWindowExposed(f.fiche.get()));
            std::optional<THidHandle> h;
            if (boitier) {
                h = f.hid.branche(VID_BOITIER, PID_BOITIER);
                f.hid.change_liste();
                QTRY_VERIFY(f.hid.lecture_notifiee(*h));
            }
            auto* etal = f.controle<QComboBox>("cb_num_etal");
            etal->setCurrentIndex(1);
            emit etal->activated(1);
            QCOMPARE(f.texte("lb_dist_etal"), QString("1030 m"));

            QTest::keyClick(f.fiche.get(), Qt::Key_F7);
            auto* dialogue = f.controle<QDialog>("dialogue_mesure");
            QTRY_VERIFY(dialogue->isVisible());
            heure(f, {10, 0, 10, 0});
            clique(f, "raz_trip");
            QTest::keyClick(dialogue, Qt::Key_F5);
            roule(f, 540, h);
            QCOMPARE(registre(f, "tot"), QString("001030"));
            heure(f, {10, 0, 20, 0});
            if (boitier)
                clique(f, "mesure_arrivee");
            else
                QTest::keyClick(dialogue, Qt::Key_F6);
            QCOMPARE(f.texte("la_tours_mesures"), QString("540 tours"));
            QTest::keyClicks(f.controle<QLineEdit>("ed_base_mesure"), "1000,0");
            paire_vue = f.texte("la_paire_mesuree");
            QCOMPARE(paire_vue, QString("Étalonnage 2 : 540 Trs pour 1000 m"));
            QVERIFY2(f.texte("la_ecart_mesure").startsWith("-29,1 ‰"),
                     qPrintable(f.texte("la_ecart_mesure")));
            QCOMPARE(f.texte("la_resolution_mesure"),
                     QString("Un tour de roue = 1,852 m, soit 1,85 ‰ de la base"));
            QCOMPARE(f.texte("la_verif_mesure"), QString("Tour de roue de 185,2 cm"));

            clique(f, "mesure_appliquer");
            QCOMPARE(f.texte("lb_dist_etal"), QString("1000 m"));
            QCOMPARE(f.texte("lb_tours_roue"), QString("540 Trs"));
            QCOMPARE(f.texte("lb_correction"), QString("0"));
            QCOMPARE(lit_fichier(fichier), fichier_etalonnage);
            heure(f, {10, 0, 30, 0});
            clique(f, "raz_trip");
            roule(f, 540, h);
            QCOMPARE(registre(f, "tot"), QString("001000"));

            clique(f, "mesure_enregistrer");
            QCOMPARE(lit_fichier(fichier),
                     std::string("541\r\n1000\r\n540\r\n1000\r\n539\r\n1000\r\nbase 2026\n"));
            QVERIFY(f.boites.textes.empty());

            // Opened beside the trip panel: the gap and CADEN stay in sight.
            const QRect vu(dialogue->mapToGlobal(QPoint()), dialogue->size());
            for (const char* nom : {"la_ecart", "la_cad_m", "la_cad_centkilom", "la_ecart_maj"}) {
                const QWidget* w = f.controle(nom);
                QVERIFY2(!vu.intersects(QRect(w->mapToGlobal(QPoint()), w->size())), nom);
            }
            const auto place = [&](const char* nom) {
                return f.controle(nom)->mapTo(dialogue, QPoint());
            };
            const QPoint appliquer = place("mesure_appliquer"),
                         enregistrer = place("mesure_enregistrer");
            QVERIFY(f.texte("la_enregistrement_mesure").startsWith("Étalonnage 2 enregistré"));

            // Read-only: the box says so, the file stays, the pair stays in service.
            rep.ecrit("etalonnage.txt", fichier_etalonnage);
            std::filesystem::permissions(fichier, std::filesystem::perms::owner_read |
                                                      std::filesystem::perms::group_read |
                                                      std::filesystem::perms::others_read);
            clique(f, "mesure_enregistrer");
            QTRY_COMPARE(f.boites.textes.size(), std::size_t{1});
            QVERIFY2(f.boites.textes[0].contains("lecture seule"), qPrintable(f.boites.textes[0]));
            QCOMPARE(lit_fichier(fichier), fichier_etalonnage);
            QCOMPARE(f.texte("lb_dist_etal"), QString("1000 m"));
            // The failure's lines all shown, the dialog grown for them; no button moved.
            QVERIFY(f.texte("la_enregistrement_mesure").startsWith("L'étalonnage n'est pas"));
            QTRY_COMPARE(place("mesure_appliquer"), appliquer);
            QCOMPARE(place("mesure_enregistrer"), enregistrer);
            for (const QLabel* l : dialogue->findChildren<QLabel*>()) {
                if (l->text().isEmpty()) continue;
                const int besoin =
                    l->wordWrap() ? l->heightForWidth(l->width()) : l->sizeHint().height();
                QVERIFY2(l->height() >= besoin && dialogue->rect().contains(l->geometry()),
                         qPrintable(l->objectName() + " : " + l->text()));
            }
            // A new pair is not the one saved: the line goes.
            QTest::keyClick(f.controle<QLineEdit>("ed_base_mesure"), Qt::Key_5);
            QCOMPARE(f.texte("la_enregistrement_mesure"), QString());
            paire_vue = f.texte("la_paire_mesuree");
            heure(f, {10, 0, 40, 0});
            QVERIFY(f.fiche->close());
        }
        // The run, measure and all, replays to the same checkpoints.
        const Tjournal j = lit_journal(journal);
        Tmoteur_rejoue m(j);
        m.rejoue();
        if (m.rejeu.divergence()) QFAIL(texte_divergence(*m.rejeu.divergence()).c_str());
        QCOMPARE(m.moteur.la_paire_mesuree.texte(), paire_vue.toStdString());

        // After the fact, from the journal: the same pair between the base's two times.
        const Texecution r = lance(
            VELMORA_JOURNAL,
            {"etalonnage", journal, "--de", "10:00:10", "--a", "10:00:20,0", "--base", "1000"},
            rep);
        QCOMPARE(r.statut, 0);
        QCOMPARE(QString::fromStdString(r.sortie),
                 QString("Tours de roue de 10:00:10,0 à 10:00:20,0 : 540\n"
                         "Étalonnage : 540 Trs pour 1000 m\n"
                         "Tour de roue de 185,2 cm\n"));
        for (const auto& [de, a] :
             {std::pair{"10:00:20", "10:00:10"}, std::pair{"09:59:00", "10:00:20"},
              std::pair{"10:00:10", "10:05:00"}}) {
            const Texecution refus =
                lance(VELMORA_JOURNAL,
                      {"etalonnage", journal, "--de", de, "--a", a, "--base", "1000"}, rep);
            QCOMPARE(refus.statut, 2);
            QVERIFY2(refus.erreurs.find("velmora-journal : --") == 0, refus.erreurs.c_str());
        }
    }

    // The computer's clock set back 2,3 s a minute into a zone: CADEN keeps the official time,
    // and the crew reads why on the window, in red, until it clicks the notice away.
    void un_saut_de_l_horloge_pendant_une_zone_se_lit_sur_la_fenetre() {
        Tfenetre_essai f({10, 0, 0, 0});
        f.fiche->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.fiche.get()));
        f.controle<QComboBox>("cb_heure_zr")->setCurrentText("10");
        f.controle<QComboBox>("cb_min_zr")->setCurrentText("00");
        f.controle<QComboBox>("cb_sec_zr")->setCurrentText("00");
        clique(f, "valid_heure_zr");
        heure(f, {10, 1, 0, 0});
        QVERIFY(!f.montre("la_horloge"));
        const QString caden = registre(f, "cad");
        f.services.saute(-2300);
        heure(f, {10, 0, 58, 700});
        QTRY_VERIFY(f.montre("la_horloge"));
        QCOMPARE(f.texte("Labelheure"), QString(" 10:01:01 HO "));
        QVERIFY(registre(f, "cad") > caden);
        QVERIFY2(f.texte("la_horloge").contains("ZONE EN COURS") &&
                     f.texte("la_horloge").contains("-2,3 s"),
                 qPrintable(f.texte("la_horloge")));
        QCOMPARE(f.fond("la_horloge"), QColor(255, 0, 0));
        if (const QByteArray dossier = qgetenv("VELMORA_CAPTURES"); !dossier.isEmpty())
            f.fiche->grab().save(QString::fromLocal8Bit(dossier) + "/saut_horloge.png");
        clique(f, "la_horloge");
        QVERIFY(!f.montre("la_horloge"));
        QVERIFY(f.boites.textes.empty());
    }

    // The official time 2,3 s behind the computer's clock: a minute after the start by the
    // official time is 57,7 s after it by the computer's.
    void l_heure_officielle_decale_tout_le_moteur_et_se_rejoue() {
        Trepertoire_temporaire rep;
        const std::string journal = rep.chemin() + "heure.journal";
        const auto zone = [](Tfenetre_essai& f) {
            f.services.fichiers.push_back(std::string(VELMORA_RALLYE_EXEMPLE));
            clique(f, "choisir_rallye");
            auto* z = f.controle<QComboBox>("ZONE");
            z->setCurrentIndex(1);
            emit z->activated(1);
            f.controle<QComboBox>("cb_heure_zr")->setCurrentText("10");
            f.controle<QComboBox>("cb_min_zr")->setCurrentText("02");
            clique(f, "valid_heure_zr");
        };
        QString caden_officiel;
        {
            Tfenetre_essai f({10, 0, 0, 0}, [&](Tfenetre_essai& e) {
                std::string erreur;
                e.mode.journal = Tfichier_journal::cree(journal, erreur);
                e.mode.date_journal = "2026-12-08 10:00:00";
            });
            f.fiche->show();
            QVERIFY(QTest::qWaitForWindowExposed(f.fiche.get()));
            QTest::keyClick(f.fiche.get(), Qt::Key_F8);
            QTRY_VERIFY(f.controle("dialogue_heure")->isVisible());
            QTest::keyClicks(f.controle<QLineEdit>("ed_heure_officielle"), "-2,3");
            clique(f, "valid_heure_officielle");
            zone(f);
            heure(f, {10, 3, 0, 0});
            caden_officiel = registre(f, "cad");
            QCOMPARE(f.texte("Labelheure"), QString(" 10:02:57 HO "));
            QCOMPARE(f.texte("Labelchrono"), QString(" 0:00:57 "));
            // A zone under way keeps its time: the change is refused, and said.
            auto* champ = f.controle<QLineEdit>("ed_heure_officielle");
            champ->selectAll();
            QTest::keyClicks(champ, "0");
            clique(f, "valid_heure_officielle");
            QTRY_COMPARE(f.boites.textes.size(), std::size_t{1});
            QVERIFY(f.boites.textes[0].startsWith("Une zone est en cours"));
            heure(f, {10, 3, 1, 0});
            QCOMPARE(f.texte("Labelheure"), QString(" 10:02:58 HO "));
            QVERIFY(f.fiche->close());
        }
        Tfenetre_essai sans({10, 0, 0, 0});
        zone(sans);
        heure(sans, {10, 3, 0, 0});
        QVERIFY(registre(sans, "cad") != caden_officiel);
        heure(sans, {10, 2, 57, 700});
        QCOMPARE(registre(sans, "cad"), caden_officiel);

        const Tjournal j = lit_journal(journal);
        Tmoteur_rejoue m(j);
        m.rejoue();
        if (m.rejeu.divergence()) QFAIL(texte_divergence(*m.rejeu.divergence()).c_str());
        QCOMPARE(m.moteur.etat.horloge.decalage_ms(), -2300);
    }
};

QTEST_MAIN(Tavant_depart_test)
#include "avant_depart_test.moc"
