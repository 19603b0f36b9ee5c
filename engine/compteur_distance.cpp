#include "compteur_distance.h"

#include "controles.h"

#include <limits>
#include <string>

namespace {

// The digits from the lowest up, so that carry and borrow walk one loop.
std::array<std::int32_t*, 6> chiffres(Tcompteur_distance& c) {
    return {&c.m, &c.dixm, &c.centm, &c.kilom, &c.dixkilom, &c.centkilom};
}

} // namespace

void Tcompteur_distance::avance_un_metre() {
    auto ch = chiffres(*this);
    for (std::size_t i = 0; i < ch.size(); ++i) {
        *ch[i] += 1;
        if (*ch[i] != 10) return; // equality, not "10 or more": an oversized top digit just grows
        *ch[i] = 0;
    }
}

void Tcompteur_distance::recule_un_metre() {
    auto ch = chiffres(*this);
    for (std::size_t i = 0; i < ch.size(); ++i) {
        *ch[i] -= 1;
        if (*ch[i] != -1) return;
        *ch[i] = 9;
    }
}

std::int32_t Tcompteur_distance::valeur_en_metres() const {
    const std::int64_t v = 100000LL * centkilom + 10000LL * dixkilom + 1000LL * kilom +
                           100LL * centm + 10LL * dixm + m;
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

void Tcompteur_distance::charge_metres(std::int32_t metres) {
    remet_a_zero();
    if (metres <= 0) return;
    // The top digit is not reduced modulo 10; a division gives what repeated
    // subtraction would, without thousands of steps for a huge value.
    centkilom = metres / 100000;
    std::int32_t v = metres % 100000;
    dixkilom = v / 10000;
    v %= 10000;
    kilom = v / 1000;
    v %= 1000;
    centm = v / 100;
    v %= 100;
    dixm = v / 10;
    m = v % 10;
}

void Tcompteur_distance::remet_a_zero() { m = dixm = centm = kilom = dixkilom = centkilom = 0; }

void Tcompteur_distance::affiche_chiffres(const Tlabels_compteur& labels) const {
    const std::array<std::int32_t, 6> valeurs{m, dixm, centm, kilom, dixkilom, centkilom};
    for (std::size_t i = 0; i < labels.size(); ++i)
        labels[i]->ecrit_texte(std::to_string(valeurs[i]));
}
