#pragma once
// The end of each register digit's paint, stamped on CLOCK_MONOTONIC, for measuring the
// time from a wheel pulse to the screen (scripts/bench). On only when the environment
// names a file in VELMORA_HORODATAGE_PEINTURE, read once at start-up; the stamps go into
// a buffer reserved at the first one and are written to that file at exit. Off, a paint
// costs the test of one flag, and nothing the window shows or does depends on it.

class QLabel;

extern const bool horodatage_peinture_actif;

// After the digit's paint: its time, its name and the text it shows.
void note_fin_peinture(const QLabel& chiffre);
// Writes every stamp so far, in paint order: "ns name text" a line. Also done at exit.
bool ecrit_horodatages_peinture();
