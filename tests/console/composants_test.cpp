// The window's own pieces: the gap bars, the instrument's numbers, the speed bar, the file
// dialog, the picture decoder, the crew's conventions.
#include "afficheur.h"
#include "barre_ecart.h"
#include "cible_hid.h"
#include "defilement.h"
#include "dialogue_fichier.h"
#include "image_jpeg.h"
#include "options_velmora.h"
#include "place_dialogue.h"
#include "plateforme.h"
#include "services_qt.h"
#include "services_scriptes.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Qt's user settings, were anything to write them, land in a folder of the test's own: set
// before the application first asks where they go.
Trepertoire_temporaire reglages_utilisateur;
const bool reglages_diriges =
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(reglages_utilisateur.chemin()));

QByteArray volant() {
    QFile f(VELMORA_VOLANT);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The bar as drawn, sampled along its middle row.
QImage dessin(Tbarre_ecart& b) {
    return b.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool est_fond(QRgb c) {
    return c == qRgb(240, 240, 240);
}

} // namespace

class Tcomposants_test : public QObject {
    Q_OBJECT
private slots:
    void la_barre_se_remplit_jusqu_a_sa_position_data() {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("largeur");
        // 213 pixels inside the frame of a 217-pixel bar.
        QTest::newRow("vide") << 20 << 0 << 0;
        QTest::newRow("moitie") << 20 << 10 << 106;
        QTest::newRow("un quart") << 20 << 5 << 53;
        QTest::newRow("au seuil") << 20 << 20 << 213;
        QTest::newRow("au-dela du seuil") << 20 << 35 << 213;
        QTest::newRow("position negative") << 20 << -4 << 0;
        QTest::newRow("seuil nul") << 0 << 5 << 0;
        QTest::newRow("seuil negatif") << -10 << 5 << 0;
    }
    void la_barre_se_remplit_jusqu_a_sa_position() {
        QFETCH(int, maximum);
        QFETCH(int, position);
        QFETCH(int, largeur);
        for (Qt::LayoutDirection sens : {Qt::LeftToRight, Qt::RightToLeft}) {
            Tbarre_ecart b;
            b.resize(217, 26);
            b.setLayoutDirection(sens);
            b.ecrit_maximum(maximum);
            b.ecrit_position(position);
            QCOMPARE(b.largeur_remplie(), largeur);
            const QImage i = dessin(b);
            const int y = i.height() / 2;
            int remplis = 0;
            for (int x = 2; x < i.width() - 2; ++x)
                remplis += est_fond(i.pixel(x, y)) ? 0 : 1;
            QCOMPARE(remplis, largeur);
            if (largeur == 0) continue;
            // Filled from the zero end: `avance` from the left, `retard` from the right.
            const int zero = sens == Qt::LeftToRight ? 2 : i.width() - 3;
            QVERIFY(!est_fond(i.pixel(zero, y)));
        }
    }

    void le_degrade_court_sur_toute_la_barre() {
        Tbarre_ecart b;
        b.resize(217, 26);
        b.ecrit_maximum(20);
        b.ecrit_position(20);
        QImage plein = dessin(b);
        const int y = plein.height() / 2;
        const QColor zero = plein.pixel(3, y), milieu = plein.pixel(108, y),
                     bout = plein.pixel(plein.width() - 4, y);
        QVERIFY(zero.green() > 150 && zero.red() < 40);      // green at the zero end
        QVERIFY(milieu.red() > 200 && milieu.green() > 200); // yellow in the middle
        QVERIFY(bout.red() > 200 && bout.green() < 40);      // red at the threshold
        // A short fill shows the green start of the same gradient, not a squeezed one.
        b.ecrit_position(5);
        const QImage court = dessin(b);
        const QColor fin_court = court.pixel(2 + b.largeur_remplie() - 1, y);
        QVERIFY(fin_court.green() > 150 && fin_court.red() < 200);
    }

    // A number of the instrument stands where a label would put it, as its alignment says, to
    // a pixel or two (it places its glyphs by their advances, without Qt's layout); and a text
    // with a character its font has no glyph for is drawn by the label itself.
    void un_nombre_de_l_instrument_se_place_comme_un_label() {
        const auto encre = [](QLabel& l) {
            const QImage avec = l.grab().toImage();
            const QString t = l.text();
            l.setText(QString());
            const QImage sans = l.grab().toImage();
            l.setText(t);
            QRect r;
            for (int y = 0; y < avec.height(); ++y)
                for (int x = 0; x < avec.width(); ++x)
                    if (avec.pixel(x, y) != sans.pixel(x, y)) r |= QRect(x, y, 1, 1);
            return r;
        };
        for (const Qt::Alignment horizontal : {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight})
            for (const Qt::Alignment vertical : {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom})
                for (const char* texte : {".   -12.", "08", "12 \u4e2d"}) {
                    Tafficheur nombre;
                    QLabel label;
                    for (QLabel* l : {static_cast<QLabel*>(&nombre), &label}) {
                        QFont f("Liberation Sans");
                        f.setBold(true);
                        f.setPixelSize(67);
                        l->setFont(f);
                        l->setAlignment(horizontal | vertical);
                        l->resize(300, 100);
                        l->setText(QString::fromUtf8(texte));
                    }
                    const QRect a = encre(nombre), b = encre(label);
                    const QString cas = QStringLiteral("%1 %2 « %3 » : %4,%5 %6x%7 / %8,%9")
                                            .arg(int(horizontal))
                                            .arg(int(vertical))
                                            .arg(QString::fromUtf8(texte))
                                            .arg(a.x())
                                            .arg(a.y())
                                            .arg(a.width())
                                            .arg(a.height())
                                            .arg(b.x())
                                            .arg(b.y());
                    QVERIFY2(!a.isEmpty() && std::abs(a.x() - b.x()) <= 2 &&
                                 std::abs(a.y() - b.y()) <= 2 &&
                                 std::abs(a.width() - b.width()) <= 3 &&
                                 std::abs(a.height() - b.height()) <= 2,
                             qPrintable(cas));
                }
    }

    // The speed bar draws a frame round its thumb while it has the focus, and only then:
    // without it, it looks as Qt's own bar. The focus comes and goes by the keyboard, as
    // Fusion shows focus frames only in a window the keyboard has moved through.
    void le_cadre_de_focus_suit_le_focus() {
        QWidget fenetre;
        fenetre.resize(440, 100);
        Tdefilement barre(&fenetre);
        QScrollBar temoin(&fenetre);
        QLineEdit ailleurs(&fenetre);
        ailleurs.move(20, 65);
        for (QScrollBar* b : {static_cast<QScrollBar*>(&barre), &temoin}) {
            b->setOrientation(Qt::Horizontal);
            b->setRange(20, 80);
            b->setPageStep(1);
            b->setValue(45);
            b->resize(409, 20);
        }
        barre.setFocusPolicy(Qt::StrongFocus);
        temoin.setFocusPolicy(Qt::NoFocus);
        // Away from the corner where the pointer rests, whose bar it would light.
        barre.move(20, 10);
        temoin.move(20, 40);
        fenetre.show();
        QVERIFY(QTest::qWaitForWindowActive(&fenetre));
        ailleurs.setFocus();
        QTRY_VERIFY(ailleurs.hasFocus());
        QTest::keyClick(&ailleurs, Qt::Key_Tab);
        QTRY_VERIFY(barre.hasFocus());
        QVERIFY(barre.grab().toImage() != temoin.grab().toImage());
        QTest::keyClick(&barre, Qt::Key_Tab);
        QTRY_VERIFY(ailleurs.hasFocus());
        QCOMPARE(barre.grab().toImage(), temoin.grab().toImage());
    }

    // The file dialog shows a folder as "Dossier" and a file by its French type, gives back
    // the file chosen, and leaves nothing in the user's settings when it closes.
    void le_dialogue_de_fichier_parle_francais_et_ne_garde_rien() {
        QVERIFY(reglages_diriges);
        Trepertoire_temporaire dossier;
        QVERIFY(QDir(QString::fromStdString(dossier.chemin())).mkdir("etapes"));
        const QString rallye = QString::fromStdString(dossier.ecrit("rallye.txt", "KZR1\n"));
        QStringList types;
        QTimer pilote;
        QElapsedTimer depuis;
        depuis.start();
        // Once the folder's two entries are listed, their types are read and the file's name
        // typed, as the crew would, until the dialog takes it.
        QObject::connect(&pilote, &QTimer::timeout, [&] {
            QFileDialog* dialogue = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QFileDialog*>(w); d != nullptr && d->isVisible())
                    dialogue = d;
            if (dialogue == nullptr) return;
            if (depuis.elapsed() > 10000) dialogue->reject();
            const auto* vue = dialogue->findChild<QTreeView*>(QStringLiteral("treeView"));
            const QAbstractItemModel* modele = vue->model();
            const QModelIndex racine = vue->rootIndex();
            QStringList lus;
            for (int ligne = 0; ligne < modele->rowCount(racine); ++ligne)
                lus << modele->index(ligne, 0, racine).data().toString() + " : " +
                           modele->index(ligne, 2, racine).data().toString();
            lus.sort();
            if (lus.size() != 2 || !lus[0].startsWith("etapes : ") ||
                !lus[1].startsWith("rallye.txt : "))
                return;
            types = lus;
            auto* nom = dialogue->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            nom->setText(QStringLiteral("rallye.txt"));
            static_cast<QDialog*>(dialogue)->accept();
        });
        pilote.start(20);
        const QString choisi = demande_fichier(nullptr, QString::fromStdString(dossier.chemin()));
        QCOMPARE(types, QStringList({"etapes : Dossier", "rallye.txt : Fichier txt"}));
        QCOMPARE(QFileInfo(choisi), QFileInfo(rallye));
        const QDir reglages(QString::fromStdString(reglages_utilisateur.chemin()));
        QCOMPARE(reglages.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
        // Nor anywhere else the dialog's settings went: a file, or Windows' registry.
        const QSettings qt_projet(QSettings::UserScope, "QtProject");
        QVERIFY2(!QFileInfo::exists(qt_projet.fileName()), qPrintable(qt_projet.fileName()));
        QVERIFY2(qt_projet.allKeys().isEmpty(), qPrintable(qt_projet.allKeys().join(' ')));
    }

#ifdef Q_OS_WIN
    // The box's notifications reach the link once each and in order, across a new native
    // window and past a handle that went without Qt knowing it, where the system refuses to
    // post them.
    void les_notifications_suivent_la_fenetre() {
        std::vector<std::uint32_t> recues;
        Tcrochet_hid crochet([&](std::uint32_t message, std::uint32_t w, std::uint32_t) {
            recues.push_back(w);
            return message == WM_HID_EVENT;
        });
        crochet.installe();
        QWidget fenetre;
        fenetre.resize(200, 100);
        fenetre.show();
        Tcible_hid cible;
        cible.attache(&fenetre);
        cible.PostHidEvent(1, 0);
        QTRY_COMPARE(recues, (std::vector<std::uint32_t>{1}));

        // Put in another window and out again, it gets a new native window.
        const WId avant = fenetre.winId();
        QWidget autre;
        fenetre.setParent(&autre);
        fenetre.setParent(nullptr, Qt::Window);
        fenetre.show();
        QVERIFY(fenetre.winId() != avant);
        cible.PostHidEvent(2, 0);
        cible.PostHidEvent(3, 0);
        QTRY_COMPARE(recues, (std::vector<std::uint32_t>{1, 2, 3}));

        QVERIFY(DestroyWindow(reinterpret_cast<HWND>(fenetre.winId())));
        cible.PostHidEvent(4, 0);
        cible.PostHidEvent(5, 0);
        QTRY_COMPARE(recues, (std::vector<std::uint32_t>{1, 2, 3, 4, 5}));
        QTest::qWait(200);
        QCOMPARE(recues.size(), 5u);
        cible.attache(nullptr);
    }
#endif

    void le_volant_se_decode() {
        const QImage i = decode_jpeg(volant());
        QCOMPARE(i.size(), QSize(181, 183));
    }

    void une_image_abimee_ne_donne_rien_data() {
        QTest::addColumn<QByteArray>("octets");
        const QByteArray bon = volant();
        QTest::newRow("vide") << QByteArray();
        QTest::newRow("tronquee de moitie") << bon.left(bon.size() / 2);
        QTest::newRow("en-tete seul") << bon.left(20);
        QTest::newRow("n'importe quoi") << QByteArray(3000, '\x5a');
        QByteArray sans_fin = bon;
        sans_fin.chop(2); // no end-of-image marker
        QTest::newRow("sans marque de fin") << sans_fin;
        QByteArray brouillee = bon;
        for (qsizetype k = 200; k < brouillee.size(); k += 7)
            brouillee[k] = char(0xFF);
        QTest::newRow("brouillee") << brouillee;
    }
    void une_image_abimee_ne_donne_rien() {
        QFETCH(QByteArray, octets);
        QVERIFY(decode_jpeg(octets).isNull());
    }

    void sans_locale_choisie_les_conventions_francaises_data() {
        QTest::addColumn<QByteArray>("lc_all");
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<bool>("aucune");
        QTest::newRow("rien") << QByteArray() << QByteArray() << true;
        QTest::newRow("C") << QByteArray("C") << QByteArray() << true;
        QTest::newRow("POSIX") << QByteArray() << QByteArray("POSIX") << true;
        QTest::newRow("C.UTF-8") << QByteArray() << QByteArray("C.UTF-8") << true;
        QTest::newRow("LC_ALL l'emporte") << QByteArray("C") << QByteArray("de_DE.UTF-8") << true;
        QTest::newRow("anglais choisi") << QByteArray("en_US.UTF-8") << QByteArray() << false;
        QTest::newRow("allemand choisi") << QByteArray() << QByteArray("de_DE.UTF-8") << false;
    }
    void sans_locale_choisie_les_conventions_francaises() {
#ifdef Q_OS_WIN
        QSKIP("Windows always has the user's regional settings: no variable chooses them");
#endif
        QFETCH(QByteArray, lc_all);
        QFETCH(QByteArray, lang);
        QFETCH(bool, aucune);
        const auto regle = [](const char* nom, const QByteArray& v) {
            if (v.isEmpty())
                qunsetenv(nom);
            else
                qputenv(nom, v);
        };
        regle("LC_ALL", lc_all);
        regle("LC_NUMERIC", {});
        regle("LANG", lang);
        QCOMPARE(aucune_locale_choisie(), aucune);
        if (!aucune) return;
        Tservices_qt s;
        QCOMPARE(QString::fromStdString(s.separateur_decimal()), QString(","));
        QCOMPARE(QString::fromStdString(s.heure_format_long({14, 5, 9, 250})), QString("14:05:09"));
    }

    // The MESURER dialog (420 x 480) beside a form whose trip panel and gap end at (593, 470).
    void un_dialogue_ne_cache_pas_ce_que_l_equipage_lit_data() {
        QTest::addColumn<QRect>("libre");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("à côté du trip") << QRect(0, 0, 1366, 728) << QPoint(601, 110);
        QTest::newRow("juste assez large") << QRect(0, 0, 1021, 728) << QPoint(601, 110);
        QTest::newRow("étroit mais haut : dessous") << QRect(0, 0, 1000, 1200) << QPoint(0, 685);
        QTest::newRow("trop petit : entier sur l'écran")
            << QRect(0, 0, 800, 600) << QPoint(380, 110);
    }
    void un_dialogue_ne_cache_pas_ce_que_l_equipage_lit() {
        QFETCH(QRect, libre);
        QFETCH(QPoint, place);
        QCOMPARE(place_dialogue({420, 480}, libre, QRect(0, 0, 593, 470),
                                {{601, 110}, {1001, 0}, {0, 685}}),
                 place);
    }

    // The crew's answer to a question: its first button says yes; the other, Échap or Entrée
    // (the careful answer is the default) say no.
    void une_question_rend_le_choix_de_l_equipage_data() {
        QTest::addColumn<QString>("geste");
        QTest::addColumn<bool>("oui");
        QTest::newRow("premier bouton") << "Utiliser quand même" << true;
        QTest::newRow("second bouton") << "Annuler" << false;
        QTest::newRow("Échap") << "Échap" << false;
        QTest::newRow("Entrée") << "Entrée" << false;
    }
    void une_question_rend_le_choix_de_l_equipage() {
        QFETCH(QString, geste);
        QFETCH(bool, oui);
        Tservices_qt s;
        QTimer::singleShot(0, [&] {
            auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(boite);
            if (geste == "Échap" || geste == "Entrée") {
                QTest::keyClick(boite, geste == "Échap" ? Qt::Key_Escape : Qt::Key_Return);
                return;
            }
            for (QAbstractButton* b : boite->buttons())
                if (b->text() == geste) b->click();
        });
        QCOMPARE(s.question("Une base de 1,000 m ?", "Utiliser quand même", "Annuler"), oui);
    }

    void le_format_long_perd_son_fuseau_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("format");
        QTest::newRow("francais") << QLocale(QLocale::French, QLocale::France) << "HH:mm:ss";
        QTest::newRow("anglais") << QLocale(QLocale::English, QLocale::UnitedStates)
                                 << "h:mm:ss AP";
        QTest::newRow("allemand") << QLocale(QLocale::German, QLocale::Germany) << "HH:mm:ss";
    }
    void le_format_long_perd_son_fuseau() {
        QFETCH(QLocale, locale);
        QFETCH(QString, format);
        QCOMPARE(format_heure_long(locale), format);
    }
    // The window's command line: its own long options in GNU's forms, Qt's one-dash options
    // handed to Qt as they were, and every refusal said in French.
    void la_ligne_de_commande_de_la_fenetre_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("erreur");
        QTest::addColumn<QString>("rejeu");
        QTest::addColumn<double>("vitesse");
        QTest::addColumn<bool>("journal");
        QTest::addColumn<QStringList>("pour_qt");
        const QStringList rien;
        QTest::newRow("rien") << rien << ""
                              << "" << 1.0 << true << rien;
        QTest::newRow("sans journal") << QStringList{"--sans-journal"} << ""
                                      << "" << 1.0 << false << rien;
        QTest::newRow("valeurs collées") << QStringList{"--vitesse=2,5", "--rejeu=a.journal"} << ""
                                         << "a.journal" << 2.5 << true << rien;
        QTest::newRow("valeur qui commence par un tiret")
            << QStringList{"--rejeu", "-b.journal", "--vitesse", "0.5"} << ""
            << "-b.journal" << 0.5 << true << rien;
        QTest::newRow("options de Qt")
            << QStringList{"-platform", "offscreen", "--sans-journal", "-style", "fusion"} << ""
            << "" << 1.0 << false << QStringList{"-platform", "offscreen", "-style", "fusion"};
        QTest::newRow("option inconnue")
            << QStringList{"--rejeux", "a.journal"} << "option inconnue « --rejeux »"
            << "" << 1.0 << true << QStringList{"a.journal"};
        QTest::newRow("valeur manquante")
            << QStringList{"--rejeu"} << "il manque la valeur de l'option --rejeu"
            << "" << 1.0 << true << rien;
        QTest::newRow("valeur de trop")
            << QStringList{"--sans-journal=oui"} << "l'option --sans-journal ne prend pas de valeur"
            << "" << 1.0 << true << rien;
        QTest::newRow("vitesse sans rejeu")
            << QStringList{"--vitesse", "2"} << "--vitesse ne sert qu'avec --rejeu"
            << "" << 1.0 << true << rien;
        QTest::newRow("vitesse nulle") << QStringList{"--rejeu", "a.journal", "--vitesse", "0"}
                                       << "--vitesse « 0 » n'est pas un nombre positif"
                                       << "a.journal" << 1.0 << true << rien;
    }
    void la_ligne_de_commande_de_la_fenetre() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, erreur);
        QFETCH(QString, rejeu);
        QFETCH(double, vitesse);
        QFETCH(bool, journal);
        QFETCH(QStringList, pour_qt);
        std::vector<QByteArray> octets{"velmora"};
        for (const QString& a : arguments)
            octets.push_back(a.toUtf8());
        std::vector<char*> argv;
        for (QByteArray& a : octets)
            argv.push_back(a.data());
        const Toptions_velmora o = lit_options_velmora(static_cast<int>(argv.size()), argv.data());
        QCOMPARE(QString::fromStdString(o.erreur.value_or("")), erreur);
        QVERIFY(!o.aide);
        if (!erreur.isEmpty()) return;
        QCOMPARE(QString::fromStdString(o.rejeu.value_or("")), rejeu);
        QCOMPARE(o.vitesse, vitesse);
        QCOMPARE(o.journal, journal);
        QStringList qt;
        for (std::size_t i = 1; i + 1 < o.arguments_qt.size(); ++i)
            qt << QString::fromUtf8(o.arguments_qt[i]);
        QCOMPARE(qt, pour_qt);
        QCOMPARE(o.arguments_qt.front(), argv[0]);
        QCOMPARE(o.arguments_qt.back(), nullptr);
        for (const char* aide : {"--aide", "--help", "-h"}) {
            char* avec_aide[] = {argv[0], const_cast<char*>(aide)};
            QVERIFY(lit_options_velmora(2, avec_aide).aide);
        }
    }
};

QTEST_MAIN(Tcomposants_test)
#include "composants_test.moc"
