#pragma once
// Conversions of the crew's texts into numbers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Integer: leading blanks; an optional sign and decimal digits, or, without a
// sign, hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing after;
// signed 32-bit range. Anything else gives nothing.
std::optional<std::int32_t> entier_depuis_texte(std::string_view texte);
// The same, throwing the default error box's text on failure.
std::int32_t convertit_entier(const std::string& texte);

// Real: optional blanks, optional sign, digits optionally followed by the
// decimal separator and more digits (a lone separator reads as 0), an optional
// exponent, optional blanks.
std::optional<long double> reel_depuis_texte(std::string_view texte, std::string_view separateur);
long double convertit_reel(const std::string& texte, std::string_view separateur);

// Which texts a decimal conversion accepts.
enum class Tforme_decimale {
    reel,   // the whole real form above, blanks, sign and exponent included
    saisie, // the keypad entry: digits, optionally the separator and more digits
};

// A kilometre or km/h text times 1000, truncated toward zero, computed exactly
// from its decimal digits ("0,001" gives 1, "16,3" gives 16300). A text the form
// refuses, or a thousandfold outside the signed 32-bit range, gives nothing.
std::optional<std::int32_t> milliemes_depuis_texte(std::string_view texte,
                                                   std::string_view separateur,
                                                   Tforme_decimale forme = Tforme_decimale::reel);
