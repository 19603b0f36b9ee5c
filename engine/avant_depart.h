#pragma once
// The arithmetic of the two tasks before a start: a calibration measured on the organiser's
// base, written into its slot of etalonnage.txt, and the official time as an offset.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A length the crew typed: valeur / 10^decimales metres.
struct Tlongueur_base {
    std::int64_t valeur = 0;
    int decimales = 0;
};

// Digits, then optionally a comma or a point and up to three decimals, blanks around;
// nothing for anything else or a length of zero.
std::optional<Tlongueur_base> lit_longueur_base(std::string_view texte);

// A calibration: so many wheel revolutions for so many metres.
struct Tpaire_etalonnage {
    std::int32_t tours = 0;
    std::int32_t metres = 0;
    bool operator==(const Tpaire_etalonnage&) const = default;
};

// The pair for `tours` revolutions over the base. A length with decimals scales both numbers
// by the same power of ten, so that the pair stays whole and exact (1000,5 m over 540
// revolutions: 5400 for 10005). Nothing without revolutions or beyond 32 bits.
std::optional<Tpaire_etalonnage> paire_de_base(std::int64_t tours, const Tlongueur_base& base);

// One wheel revolution over the base, in millimetres rounded to the nearest.
std::int64_t tour_de_roue_mm(std::int64_t tours, const Tlongueur_base& base);
// A base is 100 m to 100 km long: outside, the length was mistyped ("1.000" for 1000 m).
bool longueur_base_plausible(const Tlongueur_base& base);
// A wheel of 135 to 220 cm round, the centimetres truncated as the calibration panel takes them.
inline constexpr std::int64_t circonference_min_cm = 135;
inline constexpr std::int64_t circonference_max_cm = 220;
bool circonference_plausible(std::int64_t centimetres);
bool roue_plausible(Tpaire_etalonnage p);

// The change from the calibration in use (metres per revolution) to the new one, in tenths
// of per mille, rounded to the nearest; nothing when either has no revolution or no length.
std::optional<std::int64_t> ecart_dixiemes_pour_mille(Tpaire_etalonnage actuelle,
                                                      Tpaire_etalonnage nouvelle);

// A whole number of 10^-decimales units in French: "-29,1", "1,852".
std::string texte_decimal(std::int64_t valeur, int decimales);
// A signed duration to the tenth, rounded: "+2,3 s", "-59 min 58,0 s", "-1 h 00 min 00,0 s".
std::string texte_duree_signee(std::int64_t ms);

// etalonnage.txt with slot `emplacement` (1 to 3) holding the pair: every other byte as it
// was, the two lines keeping their own line ends. Missing lines before the slot are added
// (with the file's first line end) holding the pair; a Ctrl-Z end mark stays the end.
std::string remplace_emplacement(std::string_view contenu, int emplacement, Tpaire_etalonnage p);

// The official time as the crew gives it: "HH:MM" read on the official clock at a round minute
// (`maintenant_ms`, the computer's time of day, is when it was given), or a signed offset in
// seconds with at most one decimal ("-2,3"). The offset in tenths, within half a day either
// way; nothing when the text is neither.
std::optional<std::int32_t> decalage_officiel(std::string_view texte, std::int64_t maintenant_ms);
