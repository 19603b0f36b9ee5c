// The program as the crew runs it: its arguments, its outputs, its refusals.
#include "services_scriptes.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace {

struct Texecution {
    int statut = -1;
    std::string sortie;
    std::string erreurs;
};

std::string lit(const std::string& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

std::string entre_apostrophes(const std::string& t) {
    std::string r = "'";
    for (char c : t)
        r += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return r + "'";
}

Texecution lance(const std::string& commande, const std::vector<std::string>& arguments,
                 const Trepertoire_temporaire& rep) {
    std::string ligne = entre_apostrophes(commande);
    for (const auto& a : arguments)
        ligne += " " + entre_apostrophes(a);
    const std::string sortie = rep.chemin() + "sortie", erreurs = rep.chemin() + "erreurs";
    ligne += " >" + entre_apostrophes(sortie) + " 2>" + entre_apostrophes(erreurs);
    const int brut = std::system(ligne.c_str());
    return {WIFEXITED(brut) ? WEXITSTATUS(brut) : -1, lit(sortie), lit(erreurs)};
}

std::vector<std::string> lignes_de(const std::string& texte) {
    std::vector<std::string> l;
    std::istringstream in(texte);
    for (std::string ligne; std::getline(in, ligne);)
        l.push_back(ligne);
    return l;
}

class VelmoraTableau : public ::testing::Test {
protected:
    Trepertoire_temporaire rep;
    Texecution tableau(const std::vector<std::string>& arguments) {
        return lance(VELMORA_TABLEAU, arguments, rep);
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

    // A start near midnight passes on the next day.
    const auto nuit = tableau({VELMORA_RALLYE_EXEMPLE, "ZR1", "--depart", "23:50:00"});
    ASSERT_EQ(nuit.statut, 0) << nuit.erreurs;
    EXPECT_EQ(lignes_de(nuit.sortie).back(), "12,000;40,00;0:16:19,5;00:06:19,5;");

    // "3" is ZR3; without a start time there is no time-of-day column.
    const auto zr3 = tableau({VELMORA_RALLYE_EXEMPLE, "3", "--pas=1000"});
    ASSERT_EQ(zr3.statut, 0) << zr3.erreurs;
    const auto l3 = lignes_de(zr3.sortie);
    EXPECT_EQ(l3[0], "Distance (km);Moyenne (km/h);Temps depuis le départ;Changement");
    EXPECT_EQ(l3[3], "1,200;44,50;0:02:00,0;nouvelle moyenne");
    EXPECT_EQ(l3.back(), "15,340;46,00;0:21:28,5;");
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
        {"zone hors liste", "KZR1\n1\n\nMZR1\n40\n\n", {"ZR31"}, "Zone incorrecte : « ZR31 »"},
        {"pas nul", "KZR1\n1\n\nMZR1\n40\n\n", {"1", "--pas", "0"}, "Pas incorrect : « 0 »"},
        {"départ hors du jour",
         "KZR1\n1\n\nMZR1\n40\n\n",
         {"1", "--depart", "24:00:00"},
         "Heure de départ incorrecte : « 24:00:00 »"},
        {"option inconnue", "KZR1\n1\n\nMZR1\n40\n\n", {"1", "--vitesse", "3"}, "Option inconnue"},
        {"zone manquante", "KZR1\n1\n\nMZR1\n40\n\n", {}, "Il manque le fichier du rallye"},
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
    const auto r = tableau({rep.ecrit("r.txt", "KZR1\n1\n2\n3\n\nMZR1\n40\n50\n\n"), "1"});
    EXPECT_EQ(r.statut, 0);
    EXPECT_NE(r.erreurs.find("compte 3 distances et 2 moyennes"), std::string::npos) << r.erreurs;
    EXPECT_TRUE(lignes_de(r.sortie).back().starts_with("2,000;")) << r.sortie;
}

std::string outil(const char* nom) {
    return std::string(VELMORA_POPPLER) + "/" + nom;
}

TEST_F(VelmoraTableau, LePdfEstUnePageA4QuiPorteLeTitreEtLesDistances) {
    const std::string pdf = rep.chemin() + "zr1.pdf";
    const auto r = tableau({VELMORA_RALLYE_EXEMPLE, "1", "--depart", "10:00:00", "--pdf", pdf});
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
         {"Tableau de marche — ZR1", "rallye_exemple.txt", "Départ : 10:00:00", "Imprimé le ",
          "Distance (km)", "Heure de passage", "0,000", "10:03:20,0", "nouvelle moyenne",
          "Page 1 / 3"})
        EXPECT_NE(texte.sortie.find(attendu), std::string::npos) << attendu;

    const auto image = lance(
        outil("pdftoppm"),
        {"-png", "-r", "50", "-f", "1", "-l", "1", "-singlefile", pdf, rep.chemin() + "page"}, rep);
    ASSERT_EQ(image.statut, 0) << image.erreurs;
    const QImage page(QString::fromStdString(rep.chemin() + "page.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(static_cast<double>(page.width()) / page.height(), 210.0 / 297.0, 0.01);
    // Ink in the title's band, and lines shaded in turn below it.
    int encre_titre = 0, ombre = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb p = page.pixel(x, y);
            if (y < page.height() / 10 && qGray(p) < 100) ++encre_titre;
            if (qRed(p) == 232 && qGreen(p) == 232 && qBlue(p) == 232) ++ombre;
        }
    EXPECT_GT(encre_titre, 100);
    EXPECT_GT(ombre, page.width() * page.height() / 20);
}

TEST_F(VelmoraTableau, UnPdfQuiNePeutEtreEcritDonneLeStatut1) {
    const auto r = tableau({VELMORA_RALLYE_EXEMPLE, "1", "--pdf", rep.chemin() + "absent/t.pdf"});
    EXPECT_EQ(r.statut, 1);
    EXPECT_NE(r.erreurs.find("Impossible d'écrire le fichier "), std::string::npos) << r.erreurs;
}

} // namespace
