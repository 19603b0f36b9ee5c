#pragma once
// The time table for a French spreadsheet: ";" between columns, "," for decimals, UTF-8,
// one heading line.

#include "tableau_marche.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

void ecrit_csv(std::ostream& sortie, const std::vector<Tligne_marche>& lignes,
               std::optional<std::int32_t> depart_dixiemes);
