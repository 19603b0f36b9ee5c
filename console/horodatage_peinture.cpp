#include "horodatage_peinture.h"

#include <QLabel>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

const char* const variable = "VELMORA_HORODATAGE_PEINTURE";

struct Thorodatage {
    std::int64_t ns;
    std::uint8_t chiffre; // index into noms_
    char16_t texte;       // a digit's one character
};

// Only touched from the window's thread.
std::vector<Thorodatage> horodatages;
std::vector<const QLabel*> chiffres;
std::vector<std::string> noms;

} // namespace

const bool horodatage_peinture_actif = [] {
    const char* f = std::getenv(variable);
    if (!f || !*f) return false;
    std::atexit([] { ecrit_horodatages_peinture(); });
    return true;
}();

void note_fin_peinture(const QLabel& chiffre) {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    // 2^20 paints: more than a day of driving; beyond, nothing is kept rather than wait
    // on the allocator in the middle of a measured paint.
    if (horodatages.capacity() == 0) horodatages.reserve(1 << 20);
    if (horodatages.size() == horodatages.capacity()) return;
    std::size_t i = 0;
    while (i < chiffres.size() && chiffres[i] != &chiffre)
        ++i;
    if (i == chiffres.size()) {
        if (i > 255) return;
        chiffres.push_back(&chiffre);
        noms.push_back(chiffre.objectName().toStdString());
    }
    const QString texte = chiffre.text();
    horodatages.push_back({static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec,
                           static_cast<std::uint8_t>(i),
                           texte.isEmpty() ? u'_' : texte.front().unicode()});
}

bool ecrit_horodatages_peinture() {
    const char* chemin = std::getenv(variable);
    if (!horodatage_peinture_actif || !chemin) return false;
    std::FILE* f = std::fopen(chemin, "w");
    if (!f) return false;
    for (const Thorodatage& h : horodatages)
        std::fprintf(f, "%lld %s %c\n", static_cast<long long>(h.ns), noms[h.chiffre].c_str(),
                     h.texte < 128 && h.texte > 32 ? static_cast<char>(h.texte) : '?');
    return std::fclose(f) == 0;
}
