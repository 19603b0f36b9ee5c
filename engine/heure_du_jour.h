#pragma once
// A local time of day to the millisecond, and its arithmetic on a day that wraps at midnight;
// its texts, to the second and to the tenth, as every program of the project writes and reads
// them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct Theure_du_jour {
    std::int32_t heures = 0;        // 0 to 23
    std::int32_t minutes = 0;       // 0 to 59
    std::int32_t secondes = 0;      // 0 to 59
    std::int32_t millisecondes = 0; // 0 to 999
    bool operator==(const Theure_du_jour&) const = default;
};

inline constexpr std::int64_t ms_par_jour = 86'400'000;
inline constexpr std::int64_t dixiemes_par_jour = 864'000;

// Milliseconds since midnight (64 bits: any fields a caller holds).
std::int64_t ms_du_jour(const Theure_du_jour& h);
// Tenths since midnight, the milliseconds truncated toward zero (64 bits, as above).
std::int64_t dixiemes_du_jour(const Theure_du_jour& h);
// Any count of milliseconds, brought into the day (before midnight counts back from it).
Theure_du_jour heure_de_ms(std::int64_t ms);
// a - b the short way round the day: in (-12 h, 12 h]. 23:59:50 to 00:00:20 is 30 s.
std::int64_t ecart_sur_le_jour(std::int64_t a, std::int64_t b);
// "07": a number on at least two digits, as clocks show them.
std::string deux_chiffres(std::int64_t v);
// "HH:MM:SS" of a time of day (its milliseconds dropped).
std::string texte_hms(const Theure_du_jour& h);
// "HH:MM:SS" (00:00:00 to 23:59:59), then, where `dixieme_permis`, maybe a tenth after a comma
// or a point ("10:01:07,5"): tenths since midnight. Nothing for any other text.
std::optional<std::int32_t> lit_heure_dixiemes(std::string_view texte, bool dixieme_permis = true);
// "H:MM:SS,d" of a duration of 0 or more: the hours run on past 24 ("27:03:09,5").
std::string texte_duree_dixiemes(std::int64_t dixiemes);
// "HH:MM:SS,d" of any count of tenths, brought into the day as heure_de_ms does.
std::string texte_heure_dixiemes(std::int64_t dixiemes);
