// Any journal through the reader and, when it reads, through the replay: a corrupted or
// hostile journal is refused or replayed, never a crash, and the engine keeps its invariants
// after every event the journal feeds it.
#include "invariants.h"
#include "lecture_journal.h"
#include "rejeu.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    Tjournal j;
    try {
        j = lit_journal_octets(std::string_view(reinterpret_cast<const char*>(donnees), taille),
                               "journal");
    } catch (const Tjournal_illisible&) {
        return 0;
    }
    Tmoteur_rejoue m(j);
    std::vector<std::string> messages;
    m.rejeu.boite_ouverte = [&](const std::string& t) { messages.push_back(t); };
    m.rejeu.apres = [&](const Tevenement&) { verifie_invariants(m.moteur, messages); };
    m.rejoue();
    // A divergence names a line of the journal, or the one after its last.
    if (const auto& d = m.rejeu.divergence())
        exige(d->ligne >= 6 && (j.lignes.empty() || d->ligne <= j.lignes.back().numero + 1));
    return 0;
}
