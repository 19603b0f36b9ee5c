#pragma once
// Whether a HID report descriptor gives its reports numbers. The kernel puts the
// number before the data only for such devices; the others get a 0 added in front,
// so that every report handed on has its identifier first.

#include <cstddef>
#include <cstdint>

bool rapports_numerotes(const std::uint8_t* descripteur, std::size_t longueur);

// Reads one report through `lit_brut(tampon, longueur)`, which returns what the system's
// read returns (the length, 0 for none, negative once the device is gone), so that it
// comes with its identifier first: the system gives a device's numbered reports with
// their number, the others without, and those get the 0 in front.
template <class Lecture>
int lit_identifiant_en_tete(bool numerote, std::uint8_t* tampon, std::size_t longueur,
                            Lecture lit_brut) {
    if (longueur < 2) return 0;
    if (numerote) return lit_brut(tampon, longueur);
    const int n = lit_brut(tampon + 1, longueur - 1);
    if (n <= 0) return n;
    tampon[0] = 0;
    return n + 1;
}
