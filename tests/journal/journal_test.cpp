// Runs recorded and replayed: the replay must find every checkpoint as recorded.
#include "lecture_journal.h"
#include "rejeu.h"
#include "scenarios.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

struct Tcas_parcours {
    const char* nom;
    std::function<void(Tparcours_enregistre&, const std::string&)> scenario;
    std::size_t points_min; // checkpoints the run must at least leave
};

std::ostream& operator<<(std::ostream& o, const Tcas_parcours& c) {
    return o << c.nom;
}

class EnregistreEtRejoue : public ::testing::TestWithParam<Tcas_parcours> {};

TEST_P(EnregistreEtRejoue, le_rejeu_est_identique) {
    Trepertoire_temporaire rep;
    rep.ecrit("etalonnage.txt", "540\n1000\n541\n1000\n539\n1000\n");
    const std::string chemin = rep.chemin() + "parcours.journal";
    {
        Tparcours_enregistre p(chemin, rep.chemin(), 10 * 36000);
        GetParam().scenario(p, VELMORA_RALLYE_EXEMPLE);
    }
    const Tjournal j = lit_journal(chemin);
    EXPECT_TRUE(j.complet);
    EXPECT_GE(j.points.size(), GetParam().points_min);

    Tmoteur_rejoue m(j);
    std::size_t points = 0;
    m.rejeu.sur_point = [&](const Tpoint_controle&) { ++points; };
    m.rejoue();
    if (const auto& d = m.rejeu.divergence()) FAIL() << texte_divergence(*d);
    EXPECT_FALSE(m.rejeu.coupe_dans_un_evenement());
    EXPECT_EQ(points, j.points.size());

    // The picture of the README is drawn from the sample drive's journal (scripts/).
    if (const char* garde = std::getenv("VELMORA_GARDE_JOURNAUX"))
        std::filesystem::copy_file(
            chemin, std::filesystem::path(garde) / (std::string(GetParam().nom) + ".journal"),
            std::filesystem::copy_options::overwrite_existing);
}

INSTANTIATE_TEST_SUITE_P(
    Parcours, EnregistreEtRejoue,
    ::testing::Values(Tcas_parcours{"session_complete", session_complete, 80},
                      Tcas_parcours{"boites_pendant_la_course", boites_pendant_la_course, 10},
                      Tcas_parcours{"parcours_exemple", parcours_exemple, 1000}),
    [](const auto& i) { return std::string(i.param.nom); });

// A journal that cannot be written (a full disk) stops with one line on standard error;
// the run goes on exactly as without a journal, and no box opens.
TEST(JournalImpossibleAEcrire, s_arrete_sans_toucher_au_parcours) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no full disk to hand (/dev/full)";
#endif
    Trepertoire_temporaire rep;
    rep.ecrit("etalonnage.txt", "540\n1000\n541\n1000\n539\n1000\n");
    std::FILE* plein = std::fopen("/dev/full", "wb");
    ASSERT_NE(plein, nullptr);
    auto fichier = Tfichier_journal::sur(plein, "/dev/full");
    std::vector<std::string> lignes;
    fichier->signale = [&](const std::string& l) { lignes.push_back(l); };
    Tparcours_enregistre sans_disque(std::move(fichier), rep.chemin(), 10 * 36000);
    // The same run with its journal on a disk that takes it.
    Tparcours_enregistre temoin(rep.chemin() + "temoin.journal", rep.chemin(), 10 * 36000);
    for (Tparcours_enregistre* p : {&sans_disque, &temoin}) {
        p->branche_boitier();
        p->tape("cb_min_zr", "00");
        p->clic("valid_heure_zr");
        p->roule(5, 50);
        p->touches({3, 16});
        p->roule(5, 50);
    }
    EXPECT_TRUE(sans_disque.services.messages.empty());
    EXPECT_EQ(sans_disque.moteur().etat.compteur_total.valeur_en_metres(),
              temoin.moteur().etat.compteur_total.valeur_en_metres());
    EXPECT_EQ(sans_disque.moteur().la_ecart.texte(), temoin.moteur().la_ecart.texte());
    sans_disque.termine(); // the writing thread has ended: its line is there
    ASSERT_EQ(lignes.size(), 1u);
    EXPECT_EQ(lignes[0], "velmora : journal de bord arrêté, écriture impossible dans /dev/full "
                         "(No space left on device)");
}

} // namespace
