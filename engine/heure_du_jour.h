#pragma once
// A local time of day to the millisecond, and its arithmetic on a day that wraps at midnight.

#include <cstdint>
#include <string>

struct Theure_du_jour {
    std::int32_t heures = 0;        // 0 to 23
    std::int32_t minutes = 0;       // 0 to 59
    std::int32_t secondes = 0;      // 0 to 59
    std::int32_t millisecondes = 0; // 0 to 999
    bool operator==(const Theure_du_jour&) const = default;
};

inline constexpr std::int64_t ms_par_jour = 86'400'000;

// Milliseconds since midnight (64 bits: any fields a caller holds).
std::int64_t ms_du_jour(const Theure_du_jour& h);
// Any count of milliseconds, brought into the day (before midnight counts back from it).
Theure_du_jour heure_de_ms(std::int64_t ms);
// a - b the short way round the day: in (-12 h, 12 h]. 23:59:50 to 00:00:20 is 30 s.
std::int64_t ecart_sur_le_jour(std::int64_t a, std::int64_t b);
// "07": a number on at least two digits, as clocks show them.
std::string deux_chiffres(std::int64_t v);
// "HH:MM:SS" of a time of day (its milliseconds dropped).
std::string texte_hms(const Theure_du_jour& h);
