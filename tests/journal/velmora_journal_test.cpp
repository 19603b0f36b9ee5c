// velmora-journal as a crew member or a developer runs it on a journal: its verdicts,
// its refusals and their exit statuses.
#include "execution_programme.h"
#include "scenarios.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

Texecution velmora_journal(const std::vector<std::string>& arguments,
                           const Trepertoire_temporaire& rep) {
    return lance(VELMORA_JOURNAL, arguments, rep);
}

std::string joint(const std::vector<std::string>& lignes) {
    std::string t;
    for (const auto& l : lignes)
        t += l + "\n";
    return t;
}

class VelmoraJournal : public ::testing::Test {
protected:
    Trepertoire_temporaire rep;
    std::vector<std::string> journal; // the lines of a recorded complete session

    void SetUp() override {
        rep.ecrit("etalonnage.txt", "540\n1000\n541\n1000\n539\n1000\n");
        const std::string chemin = rep.chemin() + "session.journal";
        {
            Tparcours_enregistre p(chemin, rep.chemin(), 10 * 36000);
            session_complete(p, VELMORA_RALLYE_EXEMPLE);
        }
        journal = lignes_de(lit_fichier(chemin));
        ASSERT_GT(journal.size(), 100u);
    }
    Texecution rejoue(const std::string& octets) {
        return velmora_journal({"rejoue", rep.ecrit("essai.journal", octets)}, rep);
    }
};

TEST_F(VelmoraJournal, un_journal_entier_se_rejoue_a_l_identique) {
    const Texecution r = rejoue(joint(journal));
    EXPECT_EQ(r.statut, 0) << r.erreurs;
    EXPECT_EQ(r.sortie, "identique\n");
    EXPECT_EQ(r.erreurs, "");
}

TEST_F(VelmoraJournal, un_journal_coupe_au_milieu_d_une_ligne_se_rejoue_jusqu_a_elle) {
    // Cut in the middle of a line of the last tenth of the run, as a cut of power would.
    const std::size_t n = journal.size() * 9 / 10;
    std::vector<std::string> debut(journal.begin(), journal.begin() + static_cast<long>(n));
    const std::string coupe = joint(debut) + journal[n].substr(0, journal[n].size() / 2);
    const Texecution r = rejoue(coupe);
    EXPECT_EQ(r.statut, 0) << r.erreurs;
    EXPECT_EQ(r.sortie, "identique\n");
    EXPECT_NE(r.erreurs.find("journal coupé au milieu de la ligne " + std::to_string(n + 1) +
                             " : rejoué jusqu'à la ligne " + std::to_string(n)),
              std::string::npos)
        << r.erreurs;
}

struct Tjournal_abime {
    const char* nom;
    std::function<std::string(std::vector<std::string>)> abime;
    const char* message;
};

std::ostream& operator<<(std::ostream& o, const Tjournal_abime& c) {
    return o << c.nom;
}

class UnJournalAbime : public VelmoraJournal,
                       public ::testing::WithParamInterface<Tjournal_abime> {};

TEST_P(UnJournalAbime, est_refuse_avec_un_message_et_le_statut_2) {
    const Texecution r = rejoue(GetParam().abime(journal));
    EXPECT_EQ(r.statut, 2);
    EXPECT_EQ(r.sortie, "");
    EXPECT_NE(r.erreurs.find(GetParam().message), std::string::npos) << r.erreurs;
}

INSTANTIATE_TEST_SUITE_P(
    Refus, UnJournalAbime,
    ::testing::Values(
        Tjournal_abime{"coupe_dans_l_entete",
                       [](std::vector<std::string> l) {
                           return joint({l[0], l[1], l[2]}) + "da";
                       },
                       "est coupé dans son en-tête (ligne 4) : il n'y a rien à rejouer"},
        Tjournal_abime{"ligne_corrompue",
                       [](std::vector<std::string> l) {
                           l[40] = "e 1200 clic Button17";
                           return joint(l);
                       },
                       "ligne 41 illisible : \"e 1200 clic Button17\""},
        Tjournal_abime{"format_futur",
                       [](std::vector<std::string> l) {
                           l[1] = "format 2";
                           return joint(l);
                       },
                       "est au format 2, plus récent que celui que ce programme sait lire "
                       "(format 1) : mettez VELMORA à jour pour le lire"},
        Tjournal_abime{"fichier_binaire",
                       [](std::vector<std::string>) {
                           std::string o;
                           for (int i = 0; i < 4096; ++i)
                               o += static_cast<char>((i * 131 + 7) % 256);
                           return o;
                       },
                       "est un fichier binaire, pas un journal de bord VELMORA"}),
    [](const auto& i) { return std::string(i.param.nom); });

// The run as a faulty engine would have recorded it, one metre more at each trip update:
// the replay stops at the first checkpoint after the red button, on TOTAL.
TEST_F(VelmoraJournal, une_divergence_est_dite_au_premier_point_qui_la_montre) {
    std::size_t appui = 0;
    for (std::size_t i = 0; i < journal.size() && appui == 0; ++i)
        if (journal[i].rfind("hid-lit ", 0) == 0 && journal[i].ends_with(" 0010")) appui = i;
    ASSERT_GT(appui, 0u);
    std::string heure, enregistre, rejoue_attendu;
    for (std::size_t i = appui; i < journal.size(); ++i) {
        if (journal[i].rfind("point ", 0) != 0) continue;
        std::istringstream mots(journal[i]);
        std::string point, h, total, reste;
        mots >> point >> h >> total;
        std::getline(mots, reste);
        char plus_un[16];
        std::snprintf(plus_un, sizeof plus_un, "%06d", std::stoi(total) + 1);
        if (heure.empty()) {
            heure = h;
            enregistre = plus_un;
            rejoue_attendu = total;
        }
        journal[i] = "point " + h + " " + plus_un + reste;
    }
    ASSERT_FALSE(heure.empty());
    const Texecution r = rejoue(joint(journal));
    EXPECT_EQ(r.statut, 1) << r.erreurs;
    EXPECT_NE(r.sortie.find("première divergence à " + heure), std::string::npos) << r.sortie;
    EXPECT_NE(r.sortie.find("contrôle   : TOTAL\n  enregistré : " + enregistre +
                            "\n  rejoué     : " + rejoue_attendu + "\n"),
              std::string::npos)
        << r.sortie;
}

// The survey of a complete session: a line a second for the spreadsheet, a page for its
// one validated zone; a drawing that cannot be written is an error.
TEST_F(VelmoraJournal, le_releve_donne_une_ligne_par_seconde_et_une_page_par_zone) {
    const std::string chemin = rep.ecrit("session.journal", joint(journal));
    std::size_t points = 0;
    for (const auto& l : journal)
        points += l.rfind("point ", 0) == 0;
    const Texecution csv = velmora_journal({"csv", chemin}, rep);
    EXPECT_EQ(csv.statut, 0) << csv.erreurs;
    const auto lignes = lignes_de(csv.sortie);
    ASSERT_EQ(lignes.size(), points + 1);
    EXPECT_EQ(lignes[0], "Heure;Chronomètre;TOTAL (km);PARTIEL (km);CADEN (km);Écart (m);"
                         "LED allumée;Moyenne (km/h);Boîtier");

    const Texecution pdf = velmora_journal({"pdf", chemin, "-o", rep.chemin() + "s.pdf"}, rep);
    EXPECT_EQ(pdf.statut, 0) << pdf.erreurs;
    const std::string pages =
        VELMORA_POPPLER "/pdfinfo '" + rep.chemin() + "s.pdf' | grep -q '^Pages: *1$'";
    EXPECT_EQ(std::system(pages.c_str()), 0);

    const Texecution refus = velmora_journal({"pdf", chemin, "-o", rep.chemin()}, rep);
    EXPECT_EQ(refus.statut, 1);
    EXPECT_NE(refus.erreurs.find("Impossible d'écrire le fichier " + rep.chemin()),
              std::string::npos)
        << refus.erreurs;
}

} // namespace
