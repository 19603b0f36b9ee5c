// When a device source reads the list without the system's word: every period until that
// word is seen, then only as a safety net.
#include "rythme_liste.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(RythmeListe, ChaquePeriodeJusquAuMotDuSystemePuisEnFiletDeSecurite) {
    const Tinstant t0{};
    Trythme_liste r(1000, 10000, t0);
    EXPECT_EQ(r.attente_ms(t0, -1), 1000);
    EXPECT_EQ(r.attente_ms(t0, 300), 300);
    EXPECT_EQ(r.attente_ms(t0 + 999500us, -1), 1) << "rounded up, never a wait of no time";
    EXPECT_FALSE(r.due(t0 + 999ms));
    EXPECT_TRUE(r.due(t0 + 1000ms));
    EXPECT_FALSE(r.due(t0 + 1000ms)) << "once a period";
    EXPECT_TRUE(r.due(t0 + 2000ms));

    // The system's word came, and the list was read for it: the next only ten seconds on.
    r.mot_du_systeme(t0 + 2500ms);
    EXPECT_EQ(r.attente_ms(t0 + 2500ms, -1), 10000);
    EXPECT_FALSE(r.due(t0 + 3500ms));
    EXPECT_FALSE(r.due(t0 + 12499ms));
    EXPECT_TRUE(r.due(t0 + 12500ms));
    EXPECT_EQ(r.attente_ms(t0 + 12500ms, -1), 10000);
}

} // namespace
