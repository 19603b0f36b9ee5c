#pragma once
// How the journal writes the clocks: a time of day as "H M S MS", and what the rally clock did
// with a step of the computer's clock as one word.

#include "horloge_rallye.h"

#include <optional>
#include <string>
#include <string_view>

void ajoute_heure(std::string& ligne, const Theure_du_jour& h);
// "suivi", "zone", "ho", "reprise"; and back, nothing for any other word.
const char* mot_suite_saut(Tsuite_saut s);
std::optional<Tsuite_saut> suite_saut_du_mot(std::string_view mot);
