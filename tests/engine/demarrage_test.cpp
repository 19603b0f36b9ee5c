#include "moteur.h"
#include "services_scriptes.h"

#include <gtest/gtest.h>

TEST(Demarrage, LeScrollBarA45DonneUnIntervalleDe138) {
    Tservices_scriptes s;
    Tmoteur m(s);
    m.distribue([&] { m.demarrage(); });
    EXPECT_EQ(m.ScrollBar1.position(), 45);
    EXPECT_EQ(m.Timer2.intervalle(), 138);
    EXPECT_FALSE(m.Timer2.actif());
}
