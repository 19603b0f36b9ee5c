#pragma once
// The texts of a time table, shared by the spreadsheet and the printed page: French
// headings, "," for decimals.

#include "tableau_marche.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Metres as kilometres with three decimals: 12345 gives "12,345", -1 "-0,001".
std::string texte_km(std::int64_t metres);
// Metres per hour as km/h with two decimals, three when the third is needed.
std::string texte_moyenne(std::int32_t metres_par_heure);
// A time of day, from midnight of the start's day on (0 or more), as HH:MM:SS,t; on a
// later day followed by its number: " J+1" the next day, " J+2" the day after.
std::string texte_heure(std::int64_t dixiemes_depuis_minuit);

inline constexpr const char* texte_changement = "nouvelle moyenne";

// The columns of the table; the time of day only with a start time.
std::vector<std::string> entetes_tableau(bool avec_depart);
std::vector<std::string> cellules_tableau(const Tligne_marche& ligne,
                                          std::optional<std::int32_t> depart_dixiemes);
