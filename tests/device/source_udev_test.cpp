// The Linux device source's wait, on this machine's own system: it returns only for a
// reason, so that the watcher sleeps between them instead of spinning on a core.
#include "source_udev.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST(SourceUdev, LAttenteNeRevientQuePourUnReveilOuLaListeDeLaPeriode) {
    // Without udev events, as where no udev daemon runs: the list is read every period.
    constexpr int periode_ms = 50;
    const auto debut = std::chrono::steady_clock::now();
    auto source = cree_source_udev({.moniteur = false, .periode_enumeration_ms = periode_ms});
    source->reveille();

    // Wake-ups counted until the sixth listing; a spinning wait soon passes the cap.
    int listes = 0;
    int autres = 0;
    std::vector<std::string> retires;
    while (listes < 6 && autres < 1000) {
        const Tattente a = source->attend_changement(retires, -1);
        ASSERT_NE(a, Tattente::arret);
        ++(a == Tattente::changement ? listes : autres);
    }
    const auto periodes =
        (std::chrono::steady_clock::now() - debut) / std::chrono::milliseconds(periode_ms);

    EXPECT_EQ(autres, 1) << "one wake-up asked for, and no other";
    // Each listing comes a whole period after the one before: never more than the periods gone.
    EXPECT_LE(listes, periodes) << "the list read again without waiting its period";
}

} // namespace
