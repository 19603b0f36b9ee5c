#pragma once
// The survey drawn: one A4 landscape page per validated zone, the gap in metres against
// the ideal distance, and below it against the time since the start, over the LED bands
// and the threshold, with the average changes and the crew's corrections, calibration
// changes and box unplugs marked. Needs a QGuiApplication (the offscreen platform will do).

#include "releve.h"

#include <string>

class QIODevice;

struct Tentete_journal {
    std::string journal; // the journal's path, never written over
    std::string date;    // when the run was recorded
};

// Writes the PDF whole through Tecriture_fichier (never over the journal read); false, with
// the reason in French and the old file kept, when it cannot be written.
bool ecrit_pdf_journal(const std::string& chemin, const Tentete_journal& entete, const Treleve& r,
                       std::string& erreur);
// The same PDF into `sortie` (a memory buffer, for instance).
bool ecrit_pdf_journal_sur(QIODevice& sortie, const Tentete_journal& entete, const Treleve& r,
                           std::string& erreur);
// The same pages as PNG pictures at 150 dpi: page 1 in `chemin`, page n beside it with
// "-n" before the extension, all put in place or none; the later pages an earlier run of the
// same name left are removed. Paths are UTF-8 on every system.
bool ecrit_png_journal(const std::string& chemin, const Tentete_journal& entete, const Treleve& r,
                       std::string& erreur);
