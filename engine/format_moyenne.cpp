#include "format_moyenne.h"

#include "conversions.h"
#include "ligne_horaire.h"

#include <algorithm>
#include <cstdint>

std::string texte_moyenne_en_cours(std::string_view ligne) {
    const std::string unite = " Kms/h";
    std::string texte = prepare_ligne_horaire(ligne, ".");
    std::replace(texte.begin(), texte.end(), ',', '.');
    const auto milliemes = milliemes_depuis_texte(texte, ".");
    if (!milliemes) return std::string(ligne) + unite;
    const std::int64_t m = *milliemes;
    const std::int64_t a = m < 0 ? -m : m;
    const std::int64_t entiers = a / 1000;
    const std::int64_t decimales = a % 1000;
    const std::string fraction = decimales % 10 == 0
                                     ? std::to_string(100 + decimales / 10).substr(1)
                                     : std::to_string(1000 + decimales).substr(1);
    return (m < 0 ? "-" : "") + std::string(entiers < 10 ? "0" : "") + std::to_string(entiers) +
           "." + fraction + unite;
}
