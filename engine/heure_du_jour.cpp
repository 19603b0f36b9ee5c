#include "heure_du_jour.h"

std::int64_t ms_du_jour(const Theure_du_jour& h) {
    return std::int64_t{h.heures} * 3'600'000 + std::int64_t{h.minutes} * 60'000 +
           std::int64_t{h.secondes} * 1000 + h.millisecondes;
}

Theure_du_jour heure_de_ms(std::int64_t ms) {
    ms = (ms % ms_par_jour + ms_par_jour) % ms_par_jour;
    return {static_cast<std::int32_t>(ms / 3'600'000), static_cast<std::int32_t>(ms / 60'000 % 60),
            static_cast<std::int32_t>(ms / 1000 % 60), static_cast<std::int32_t>(ms % 1000)};
}

std::int64_t ecart_sur_le_jour(std::int64_t a, std::int64_t b) {
    std::int64_t d = ((a - b) % ms_par_jour + ms_par_jour) % ms_par_jour;
    if (d > ms_par_jour / 2) d -= ms_par_jour;
    return d;
}

std::string deux_chiffres(std::int64_t v) {
    return (v >= 0 && v < 10 ? "0" : "") + std::to_string(v);
}

std::string texte_hms(const Theure_du_jour& h) {
    return deux_chiffres(h.heures) + ":" + deux_chiffres(h.minutes) + ":" +
           deux_chiffres(h.secondes);
}
