#pragma once
// The text of MOYENNE, the average in force, in the form's own format: "00.00 Kms/h".

#include <string>
#include <string_view>

// MOYENNE before an average is in force.
inline constexpr const char* moyenne_nulle = "00.00 Kms/h";

// A line of the zone's averages as MOYENNE shows it: at least two digits before the point, two
// after it (three where the third is not 0), then " Kms/h": "45,00" and "45.00" read
// "45.00 Kms/h", "48,5" "48.50 Kms/h", "5" "05.00 Kms/h". The line's own text is read, with either
// separator, as the crew typed it or VALIDER rewrote it; a line that is no average is shown as
// typed, with the unit.
std::string texte_moyenne_en_cours(std::string_view ligne);
