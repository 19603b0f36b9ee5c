#pragma once
// The text of one schedule value as the zone fields hold it.

#include <string>
#include <string_view>

// Blanks and control characters (every byte up to the space) cut at both ends,
// and every "." written with the user's decimal separator.
std::string prepare_ligne_horaire(std::string_view ligne, std::string_view separateur);
