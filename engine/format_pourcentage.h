#pragma once
// The text of the relative correction of a trip update.

#include <cstdint>
#include <string>

// Above this, in metres per thousand, the correction is shown as "...".
inline constexpr std::int32_t correction_relative_max = 30;

// ecart_maj x 1000 / partiel (partiel above 0) as "...", when above 30.0, or in
// the form "0.0" with the given decimal separator. The tenth is rounded from the
// exact quotient, half away from zero, so 22.25 reads 22,3 and -22.25 reads -22,3;
// a value that rounds to zero reads "0,0", never "-0,0".
std::string texte_correction_relative(std::int32_t ecart_maj, std::int32_t partiel,
                                      const std::string& separateur);
