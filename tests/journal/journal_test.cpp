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

} // namespace
