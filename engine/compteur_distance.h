#pragma once
// A six-digit decimal distance register in metres, held digit by digit exactly
// as its six labels show it.

#include <array>
#include <cstdint>

class Tmodele_label;

// The six labels of a register, lowest digit first (m, dixm, centm, kilom, dixkilom, centkilom).
using Tlabels_compteur = std::array<Tmodele_label*, 6>;

struct Tcompteur_distance {
    std::int32_t m = 0;
    std::int32_t dixm = 0;
    std::int32_t centm = 0;
    std::int32_t kilom = 0;
    std::int32_t dixkilom = 0;
    std::int32_t centkilom = 0;

    void avance_un_metre();
    void recule_un_metre();
    // Saturates at the largest 32-bit value rather than wrap after an oversized load.
    std::int32_t valeur_en_metres() const;
    // A negative value loads 0: the register has no sign.
    void charge_metres(std::int32_t metres);
    void remet_a_zero();
    void affiche_chiffres(const Tlabels_compteur& labels) const;

    bool operator==(const Tcompteur_distance&) const = default;
};
