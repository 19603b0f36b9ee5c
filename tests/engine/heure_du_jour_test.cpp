// Times of day as the programs write them and as the crew types them on a command line.
#include "heure_du_jour.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(HeureDuJour, UneHeureTapeeSeLitAuDixiemeOuSeRefuse) {
    struct {
        const char* texte;
        std::optional<std::int32_t> avec_dixieme, sans_dixieme;
    } const cas[] = {
        {"00:00:00", 0, 0},
        {"23:59:59", 863'990, 863'990},
        {"10:01:07", 360'670, 360'670},
        {"10:01:07,5", 360'675, std::nullopt},
        {"10:01:07.5", 360'675, std::nullopt},
        {"23:59:59,9", 863'999, std::nullopt},
        {"24:00:00", std::nullopt, std::nullopt},
        {"10:60:00", std::nullopt, std::nullopt},
        {"10:00:60", std::nullopt, std::nullopt},
        {"9:00:00", std::nullopt, std::nullopt},
        {"10:00:00,", std::nullopt, std::nullopt},
        {"10:00:00,55", std::nullopt, std::nullopt},
        {"10:00:00;5", std::nullopt, std::nullopt},
        {"10:00:00,x", std::nullopt, std::nullopt},
        {"10-00-00", std::nullopt, std::nullopt},
        {"1a:00:00", std::nullopt, std::nullopt},
        {"+1:00:00", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const auto& c : cas) {
        EXPECT_EQ(lit_heure_dixiemes(c.texte), c.avec_dixieme) << c.texte;
        EXPECT_EQ(lit_heure_dixiemes(c.texte, false), c.sans_dixieme) << c.texte;
    }
}

TEST(HeureDuJour, UnCompteDeDixiemesSEcritDansLaJourneeEtUneDureeAuDela) {
    struct {
        std::int64_t dixiemes;
        const char* heure;
        const char* duree; // for a count of 0 or more
    } const cas[] = {
        {0, "00:00:00,0", "0:00:00,0"},        {360'675, "10:01:07,5", "10:01:07,5"},
        {35'999, "00:59:59,9", "0:59:59,9"},   {863'999, "23:59:59,9", "23:59:59,9"},
        {864'000, "00:00:00,0", "24:00:00,0"}, {972'095, "03:00:09,5", "27:00:09,5"},
        {-1, "23:59:59,9", nullptr},
    };
    for (const auto& c : cas) {
        EXPECT_EQ(texte_heure_dixiemes(c.dixiemes), c.heure) << c.dixiemes;
        if (c.duree) {
            EXPECT_EQ(texte_duree_dixiemes(c.dixiemes), c.duree) << c.dixiemes;
        }
        // What is written reads back as the same time of day.
        EXPECT_EQ(lit_heure_dixiemes(texte_heure_dixiemes(c.dixiemes)),
                  (c.dixiemes % dixiemes_par_jour + dixiemes_par_jour) % dixiemes_par_jour);
    }
}

} // namespace
