// The program as the crew runs it: its arguments, its outputs, its refusals.
#include "execution_programme.h"
#include "services_scriptes.h"

#include <QImage>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

class VelmoraTableau : public ::testing::Test {
protected:
    Trepertoire_temporaire rep;
    Texecution tableau(const std::vector<std::string>& arguments, const std::string& prefixe = "") {
        return lance(VELMORA_TABLEAU, arguments, rep, prefixe);
    }
};

TEST_F(VelmoraTableau, LeCsvDeLaZr1SuitLaConventionFrancaise) {
    const auto r = tableau({VELMORA_RALLYE_EXEMPLE, "ZR1", "--depart", "10:00:00"});
    ASSERT_EQ(r.statut, 0) << r.erreurs;
    EXPECT_EQ(r.erreurs, "");
    const auto l = lignes_de(r.sortie);
    ASSERT_EQ(l.size(), 1u + 121u + 1u); // headings, every 100 m to 12 km, 7,250 km
    EXPECT_EQ(l[0], "Distance (km);Moyenne (km/h);Temps depuis le départ;Heure de passage;"
                    "Changement");
    EXPECT_EQ(l[1], "0,000;45,00;0:00:00,0;10:00:00,0;");
    EXPECT_EQ(l[26], "2,500;48,50;0:03:20,0;10:03:20,0;nouvelle moyenne");
    EXPECT_EQ(l[73], "7,200;48,50;0:09:08,9;10:09:08,9;");
    EXPECT_EQ(l[74], "7,250;40,00;0:09:12,0;10:09:12,0;nouvelle moyenne");
    EXPECT_EQ(l.back(), "12,000;40,00;0:16:19,5;10:16:19,5;");
    int marques = 0;
    for (const auto& ligne : l)
        marques += ligne.ends_with(";nouvelle moyenne");
    EXPECT_EQ(marques, 2);

    // A start near midnight passes on the next day, and a day-long zone on the day after.
    const auto nuit = tableau({VELMORA_RALLYE_EXEMPLE, "ZR1", "--depart", "23:50:00"});
    ASSERT_EQ(nuit.statut, 0) << nuit.erreurs;
    EXPECT_EQ(lignes_de(nuit.sortie)[1], "0,000;45,00;0:00:00,0;23:50:00,0;");
    EXPECT_EQ(lignes_de(nuit.sortie).back(), "12,000;40,00;0:16:19,5;00:06:19,5 J+1;");
    const auto jours = tableau({rep.ecrit("r.txt", "KZR1\n25\n\nMZR1\n1\n\n"), "1", "--pas",
                                "25000", "--depart", "23:59:50"});
    ASSERT_EQ(jours.statut, 0) << jours.erreurs;
    EXPECT_EQ(lignes_de(jours.sortie).back(), "25,000;1,00;25:00:00,0;00:59:50,0 J+2;");

    // "3" is ZR3; without a start time there is no time-of-day column.
    const auto zr3 = tableau({VELMORA_RALLYE_EXEMPLE, "3", "--pas=1000"});
    ASSERT_EQ(zr3.statut, 0) << zr3.erreurs;
    const auto l3 = lignes_de(zr3.sortie);
    EXPECT_EQ(l3[0], "Distance (km);Moyenne (km/h);Temps depuis le départ;Changement");
    EXPECT_EQ(l3[3], "1,200;44,50;0:02:00,0;nouvelle moyenne");
    EXPECT_EQ(l3.back(), "15,340;46,00;0:21:28,5;");

    // Before ten o'clock the hour may have one digit.
    const auto neuf = tableau({VELMORA_RALLYE_EXEMPLE, "3", "--pas=1000", "--depart", "9:05:00"});
    ASSERT_EQ(neuf.statut, 0) << neuf.erreurs;
    EXPECT_TRUE(lignes_de(neuf.sortie)[1].ends_with(";0:00:00,0;09:05:00,0;")) << neuf.sortie;

    // After "--", a rally file may be named like an option.
    rep.ecrit("-h", lit_fichier(VELMORA_RALLYE_EXEMPLE));
    const auto tiret = tableau({"--pas=1000", "--", "-h", "3"});
    EXPECT_EQ(tiret.statut, 0) << tiret.erreurs;
    EXPECT_EQ(tiret.sortie, zr3.sortie);
}

TEST_F(VelmoraTableau, UneEntreeFautiveEstDiteEnFrancaisAvecLeStatut2) {
    struct {
        const char* nom;
        std::string fichier; // empty: no such file
        std::vector<std::string> options;
        std::string message;
    } const cas[] = {
        {"fichier absent", "", {"ZR1"}, "Impossible d'ouvrir le fichier "},
        {"zone absente",
         "KZR1\n1\n\nMZR1\n40\n\n",
         {"ZR2"},
         "Cette ZR est inexistante dans le fichier"},
        {"ligne illisible",
         "KZR1\n1\n2,5x\n3\n\nMZR1\n40\n45\n4O\n\n",
         {"1"},
         "erreur : ligne 3 du fichier, distance « 2,5x » incorrecte\n"
         "erreur : ligne 9 du fichier, moyenne « 4O » incorrecte\n"},
        {"moyenne nulle",
         "KZR1\n1\n2\n\nMZR1\n40\n0.0\n\n",
         {"1"},
         "Moyenne nulle à la ligne 7 du fichier (« 0,0 »)"},
        {"distance en recul",
         "KZR1\n2\n1\n\nMZR1\n40\n40\n\n",
         {"1"},
         "Distance en deçà de la précédente à la ligne 3 du fichier (« 1 »)"},
        {"sans moyennes", "KZR1\n2\n\n", {"1"}, "La ZR1 n'a aucune ligne"},
        {"zone hors liste",
         "KZR1\n1\n\nMZR1\n40\n\n",
         {"ZR31"},
         "velmora-tableau : la zone « ZR31 » n'est pas une zone de ZR1 à ZR30 (ou 1 à 30)\nUsage"},
        {"pas nul",
         "KZR1\n1\n\nMZR1\n40\n\n",
         {"1", "--pas", "0"},
         "velmora-tableau : --pas « 0 » n'est pas un nombre entier de mètres"},
        {"départ hors du jour",
         "KZR1\n1\n\nMZR1\n40\n\n",
         {"1", "--depart", "24:00:00"},
         "velmora-tableau : --depart « 24:00:00 » n'est pas une heure HH:MM:SS"},
        {"départ suivi de lettres",
         "KZR1\n1\n\nMZR1\n40\n\n",
         {"1", "--depart", "10:00:00xyz"},
         "velmora-tableau : --depart « 10:00:00xyz » n'est pas une heure"},
        {"octet nul dans une valeur",
         "KZR1\n1\n\nMZR1\n4\0x\n\n"s,
         {"1"},
         "erreur : ligne 5 du fichier, moyenne « 4\\x00x » incorrecte\n"},
        {"option inconnue",
         "KZR1\n1\n\nMZR1\n40\n\n",
         {"1", "--vitesse", "3"},
         "velmora-tableau : option inconnue « --vitesse »\nUsage : velmora-tableau"},
        {"valeur manquante",
         "KZR1\n1\n\nMZR1\n40\n\n",
         {"1", "--pas"},
         "velmora-tableau : il manque la valeur de l'option --pas\nUsage"},
        {"PDF sur la sortie standard",
         "KZR1\n1\n\nMZR1\n40\n\n",
         {"1", "--pdf=-"},
         "velmora-tableau : le PDF s'écrit dans un fichier"},
        {"zone manquante",
         "KZR1\n1\n\nMZR1\n40\n\n",
         {},
         "velmora-tableau : il manque le fichier du rallye ou la zone\nUsage"},
        {"zone sans fin", "KZR1\n1000\n\nMZR1\n0,001\n\n", {"1"}, "la ZR est trop longue"},
        {"tableau démesuré",
         "KZR1\n2000000\n\nMZR1\n40\n\n",
         {"1", "--pas", "1"},
         "choisissez un pas plus grand"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        const std::string rallye =
            c.fichier.empty() ? rep.chemin() + "absent.txt" : rep.ecrit("rallye.txt", c.fichier);
        std::vector<std::string> arguments{rallye};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const auto r = tableau(arguments);
        EXPECT_EQ(r.statut, 2);
        EXPECT_NE(r.erreurs.find(c.message), std::string::npos) << r.erreurs;
        EXPECT_EQ(r.sortie, "");
    }
}

TEST_F(VelmoraTableau, DesSectionsInegalesDonnentUnAvertissementEtLeTableauDesLignesCompletes) {
    struct {
        const char* fichier;
        const char* avertissement;
    } const cas[] = {
        {"KZR1\n1\n2\n3\n\nMZR1\n40\n50\n\n", "compte 3 distances et 2 moyennes"},
        // A line of blanks reads as empty, in the window as here: it drops a row silently.
        {"KZR1\n1\n2\n3\n\nMZR1\n50\n60\n  \n70\n\n",
         "compte 3 distances et 3 moyennes ; le tableau prend 2 lignes : la ligne 9 du fichier, "
         "dans MZR1, n'a que des blancs"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.fichier);
        const auto r = tableau({rep.ecrit("r.txt", c.fichier), "1"});
        EXPECT_EQ(r.statut, 0);
        EXPECT_NE(r.erreurs.find(c.avertissement), std::string::npos) << r.erreurs;
        EXPECT_TRUE(lignes_de(r.sortie).back().starts_with("2,000;")) << r.sortie;
    }
}

std::string outil(const char* nom) {
    return std::string(VELMORA_POPPLER) + "/" + nom;
}

// A word of a PDF page as pdftotext places it, in points from the page's top left.
struct Tmot {
    std::string texte;
    double x0, y0, x1, y1;
};

struct Tpage_pdf {
    double largeur = 0, hauteur = 0;
    std::vector<Tmot> mots;

    const Tmot* mot(const std::string& texte, double y0 = -1) const {
        for (const auto& m : mots)
            if (m.texte == texte && (y0 < 0 || std::abs(m.y0 - y0) < 1)) return &m;
        return nullptr;
    }
};

Tpage_pdf page_du_pdf(const std::string& pdf, int numero, const Trepertoire_temporaire& rep) {
    const auto n = std::to_string(numero);
    const auto r = lance(outil("pdftotext"), {"-bbox", "-f", n, "-l", n, pdf, "-"}, rep);
    EXPECT_EQ(r.statut, 0) << r.erreurs;
    Tpage_pdf page;
    std::smatch m;
    if (std::regex_search(r.sortie, m,
                          std::regex(R"re(<page width="([\d.]+)" height="([\d.]+)")re")))
        page.largeur = std::stod(m[1]), page.hauteur = std::stod(m[2]);
    const std::regex mot(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (std::sregex_iterator it(r.sortie.begin(), r.sortie.end(), mot), fin; it != fin; ++it)
        page.mots.push_back({(*it)[5], std::stod((*it)[1]), std::stod((*it)[2]),
                             std::stod((*it)[3]), std::stod((*it)[4])});
    return page;
}

// Dark pixels of a picture of the page at `dpi` under a word's box.
int encre(const QImage& image, int dpi, const Tmot& m) {
    const double px = dpi / 72.0;
    int n = 0;
    for (int y = static_cast<int>(m.y0 * px); y <= static_cast<int>(m.y1 * px); ++y)
        for (int x = static_cast<int>(m.x0 * px); x <= static_cast<int>(m.x1 * px); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}

TEST_F(VelmoraTableau, LePdfEstUnePageA4QuiPorteLeTitreEtLesDistances) {
    // A rally file's long name must not push the start, the step and the date off the page.
    const std::string nom = "Rallye_des_Monts_du_Velay_" + std::string(96, 'x') + "_2026.txt";
    const std::string rallye = rep.ecrit(nom, lit_fichier(VELMORA_RALLYE_EXEMPLE));
    const std::string pdf = rep.chemin() + "zr1.pdf";
    const auto r = tableau({rallye, "1", "--depart", "10:00:00", "--pdf", pdf});
    ASSERT_EQ(r.statut, 0) << r.erreurs;
    EXPECT_EQ(r.sortie, "");
    EXPECT_EQ(r.erreurs, "");

    // 122 lines at 45 a page.
    const auto info = lance(outil("pdfinfo"), {pdf}, rep);
    ASSERT_EQ(info.statut, 0) << info.erreurs;
    EXPECT_NE(info.sortie.find("Pages:           3\n"), std::string::npos) << info.sortie;
    EXPECT_NE(info.sortie.find("(A4)"), std::string::npos) << info.sortie;

    const auto texte = lance(outil("pdftotext"), {"-f", "1", "-l", "1", pdf, "-"}, rep);
    ASSERT_EQ(texte.statut, 0) << texte.erreurs;
    for (const char* attendu :
         {"Tableau de marche — ZR1", "Rallye : Rallye_des_Monts_du_", "…", "xx_2026.txt",
          "Départ : 10:00:00", "Pas : 100 m", "Imprimé le ", "Distance (km)", "Heure de passage",
          "0,000", "10:03:20,0", "nouvelle moyenne", "Page 1 / 3"})
        EXPECT_NE(texte.sortie.find(attendu), std::string::npos) << attendu;

    const Tpage_pdf page = page_du_pdf(pdf, 1, rep);
    ASSERT_NEAR(page.largeur, 595, 1);
    // Every word within the 15 mm margins.
    const double marge = 15 / 25.4 * 72 - 0.5;
    for (const auto& m : page.mots) {
        EXPECT_GE(m.x0, marge) << m.texte;
        EXPECT_LE(m.x1, page.largeur - marge) << m.texte;
    }
    // The footer alone on its line, a line's height (5 mm) clear of the table.
    const Tmot* numero = page.mot("Page");
    ASSERT_NE(numero, nullptr);
    std::vector<std::string> pied;
    for (const auto& m : page.mots)
        if (m.y1 > numero->y0 - 5 / 25.4 * 72) pied.push_back(m.texte);
    std::sort(pied.begin(), pied.end());
    EXPECT_EQ(pied, (std::vector<std::string>{"/", "1", "3", "Page", "velmora-tableau"}));

    const int dpi = 150;
    const auto image = lance(outil("pdftoppm"),
                             {"-png", "-r", std::to_string(dpi), "-f", "1", "-l", "1",
                              "-singlefile", pdf, rep.chemin() + "page"},
                             rep);
    ASSERT_EQ(image.statut, 0) << image.erreurs;
    const QImage dessin(QString::fromStdString(rep.chemin() + "page.png"));
    ASSERT_FALSE(dessin.isNull());
    EXPECT_NEAR(static_cast<double>(dessin.width()) / dessin.height(), 210.0 / 297.0, 0.01);
    // Ink in the title's band, and lines shaded in turn below it.
    int encre_titre = 0, ombre = 0;
    for (int y = 0; y < dessin.height(); ++y)
        for (int x = 0; x < dessin.width(); ++x) {
            const QRgb p = dessin.pixel(x, y);
            if (y < dessin.height() / 10 && qGray(p) < 100) ++encre_titre;
            if (qRed(p) == 232 && qGreen(p) == 232 && qBlue(p) == 232) ++ombre;
        }
    EXPECT_GT(encre_titre, 1000);
    EXPECT_GT(ombre, dessin.width() * dessin.height() / 20);
    // The average change at 2,500 km is bold: its "48,50" carries more ink than the
    // same text on the next line.
    const Tmot* changement = page.mot("2,500");
    const Tmot* suivante = page.mot("2,600");
    ASSERT_TRUE(changement && suivante);
    const Tmot* gras = page.mot("48,50", changement->y0);
    const Tmot* maigre = page.mot("48,50", suivante->y0);
    ASSERT_TRUE(gras && maigre);
    EXPECT_GT(encre(dessin, dpi, *gras), 1.2 * encre(dessin, dpi, *maigre))
        << encre(dessin, dpi, *gras) << " contre " << encre(dessin, dpi, *maigre);
}

// A file not written whole is an error, and the table already there stays as it was; what is
// not a regular file, or is the rally file read, is never written.
TEST_F(VelmoraTableau, UnPdfQuiNePeutEtreEcritDonneLeStatut1EtLaisseLAncien) {
    const std::string pdf = rep.chemin() + "t.pdf";
    const std::string rallye = rep.ecrit("r.txt", lit_fichier(VELMORA_RALLYE_EXEMPLE));
    const auto premier = tableau({rallye, "1", "--pdf", pdf});
    ASSERT_EQ(premier.statut, 0) << premier.erreurs;
    const std::string ancien = lit_fichier(pdf);

    // A file-size limit stands for a full disk: writes fail past it. At one byte short of
    // the whole table, only the last buffered bytes fail, when they are flushed.
    const std::string plein = "trap '' XFSZ; prlimit --fsize=";
    const std::string non_ecrit = "l'écriture a échoué : le fichier dépasse la taille que le "
                                  "système permet ; l'ancien fichier est inchangé";
    const std::string tube = rep.chemin() + "tube";
    ASSERT_EQ(::mkfifo(tube.c_str(), 0600), 0);
    struct {
        const char* nom;
        std::string pdf;
        std::string prefixe;
        std::string raison;
    } const cas[] = {
        {"dossier absent", rep.chemin() + "absent/t.pdf", "",
         "il ne peut pas être créé (son dossier n'existe pas)"},
        {"disque plein", pdf, plein + "4096 ", non_ecrit},
        {"disque plein au dernier octet", pdf, plein + std::to_string(ancien.size() - 1) + " ",
         non_ecrit},
        {"le rallye lu", rallye, "", "c'est le fichier que la commande lit"},
        {"un tube", tube, "", "c'est un tube (FIFO), pas un fichier"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        const auto r = tableau({rallye, "1", "--pdf", c.pdf}, c.prefixe);
        EXPECT_EQ(r.statut, 1);
        EXPECT_NE(r.erreurs.find("Impossible d'écrire le fichier " + c.pdf + " : " + c.raison),
                  std::string::npos)
            << r.erreurs;
        EXPECT_EQ(lit_fichier(pdf), ancien);
        EXPECT_EQ(lit_fichier(rallye), lit_fichier(VELMORA_RALLYE_EXEMPLE));
        for (const auto& f : std::filesystem::directory_iterator(rep.chemin()))
            EXPECT_FALSE(f.path().filename().string().find(".pdf.") != std::string::npos ||
                         f.path().filename().string().starts_with("r.txt."))
                << f.path();
    }
    // Standard output that cannot take the table: an error too.
    const auto sortie_pleine =
        tableau({rallye, "1"}, "sh " + rep.ecrit("plein.sh", "\"$@\" >/dev/full\n") + " ");
    EXPECT_EQ(sortie_pleine.statut, 1);
    EXPECT_NE(sortie_pleine.erreurs.find("Impossible d'écrire sur la sortie standard : "
                                         "l'écriture a échoué : le disque est plein"),
              std::string::npos)
        << sortie_pleine.erreurs;
}

} // namespace
