#pragma once
// The crew's runs that the journal tests record and replay.

#include "parcours_enregistre.h"

#include <string>

// Everything a crew does in a zone, once each: bytes no journal line holds raw typed, a file
// dialog cancelled, a rally loaded,
// its ZR1 chosen, the threshold, the start time, a calibration chosen and corrected, box
// reports at varying speeds, keypad entries and the red button, an unplug and a replug,
// the offset, the simulated wheel.
void session_complete(Tparcours_enregistre& p, const std::string& rallye);

// Message boxes left open while the clock ticks and the box sends revolutions and keys,
// one of them opened from inside another's.
void boites_pendant_la_course(Tparcours_enregistre& p, const std::string& rallye);

// ZR1 of the sample rally driven from its start to its end (about 16 minutes): late, then
// on time, trip corrections at the average changes, a calibration step, the box pulled
// out for a few seconds. The README's picture is drawn from its journal.
void parcours_exemple(Tparcours_enregistre& p, const std::string& rallye);

// The computer's clock set between zones and during one, the laptop asleep in a zone, the
// official time given, and the questions of a base mistyped, each answered both ways.
void horloge_qui_saute(Tparcours_enregistre& p, const std::string& rallye);
