#pragma once
// Hexadecimal digits: written in lower case (escapes, the journal's bytes), read in either.

inline constexpr char chiffres_hexa[] = "0123456789abcdef";

// A digit's value; -1 for any other character.
constexpr int valeur_hexa(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
