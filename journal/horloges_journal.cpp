#include "horloges_journal.h"

namespace {

constexpr std::pair<Tsuite_saut, const char*> mots_suite[] = {
    {Tsuite_saut::suivi, "suivi"},
    {Tsuite_saut::garde_zone, "zone"},
    {Tsuite_saut::garde_officielle, "ho"},
    {Tsuite_saut::repris, "reprise"},
};

} // namespace

void ajoute_heure(std::string& ligne, const Theure_du_jour& h) {
    ligne += std::to_string(h.heures);
    ligne += ' ';
    ligne += std::to_string(h.minutes);
    ligne += ' ';
    ligne += std::to_string(h.secondes);
    ligne += ' ';
    ligne += std::to_string(h.millisecondes);
}

const char* mot_suite_saut(Tsuite_saut s) {
    for (const auto& [suite, mot] : mots_suite)
        if (suite == s) return mot;
    return "?";
}

std::optional<Tsuite_saut> suite_saut_du_mot(std::string_view mot) {
    for (const auto& [suite, m] : mots_suite)
        if (mot == m) return suite;
    return std::nullopt;
}
