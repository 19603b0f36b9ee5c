// Walks the items of a report descriptor looking for a Report ID item.
#include "descripteur_rapport.h"

bool rapports_numerotes(const std::uint8_t* descripteur, std::size_t longueur) {
    constexpr std::uint8_t prefixe_long = 0xFE;
    constexpr std::uint8_t report_id = 0x84; // global item, tag 8, without its size bits
    std::size_t i = 0;
    while (i < longueur) {
        const std::uint8_t prefixe = descripteur[i];
        if (prefixe == prefixe_long) {
            // Long item: its data size follows, then its tag, then the data.
            if (i + 1 >= longueur) return false;
            i += 3 + static_cast<std::size_t>(descripteur[i + 1]);
            continue;
        }
        if ((prefixe & 0xFC) == report_id) return true;
        const std::size_t taille = (prefixe & 0x03) == 3 ? 4 : (prefixe & 0x03);
        i += 1 + taille;
    }
    return false;
}
