#include "format_pourcentage.h"

std::string texte_correction_relative(std::int32_t ecart_maj, std::int32_t partiel,
                                      const std::string& separateur) {
    // Exact in 64 bits: |ecart_maj| x 10000 stays far below 2^63.
    const std::int64_t p = partiel;
    const std::int64_t millemes = static_cast<std::int64_t>(ecart_maj) * 1000;
    if (millemes > correction_relative_max * p) return "...";

    const std::int64_t dix_millemes = millemes * 10;
    std::int64_t dixiemes = dix_millemes / p; // truncated toward zero
    const std::int64_t reste = dix_millemes % p;
    if (2 * (reste < 0 ? -reste : reste) >= p) dixiemes += dix_millemes < 0 ? -1 : 1;

    const bool negatif = dixiemes < 0;
    const std::int64_t a = negatif ? -dixiemes : dixiemes;
    return (negatif ? "-" : "") + std::to_string(a / 10) + separateur + std::to_string(a % 10);
}
