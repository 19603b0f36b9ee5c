// The table's numbers as the crew reads them, down to the values no table holds today.
#include "textes_tableau.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(TextesDuTableau, UneDistanceSEcritEnKilometresAvecSonSigne) {
    struct {
        std::int64_t metres;
        const char* texte;
    } const cas[] = {
        {0, "0,000"},
        {7, "0,007"},
        {12345, "12,345"},
        {-1, "-0,001"},
        {-100, "-0,100"},
        {-12345, "-12,345"},
        {std::numeric_limits<std::int64_t>::min(), "-9223372036854775,808"},
    };
    for (const auto& c : cas)
        EXPECT_EQ(texte_km(c.metres), c.texte) << c.metres;
}

} // namespace
