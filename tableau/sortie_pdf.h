#pragma once
// The time table printed: A4 pages through Qt's own PDF writer. Needs a
// QGuiApplication (the offscreen platform will do) for the fonts.

#include "tableau_marche.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Tentete_tableau {
    std::string rallye; // the rally file as named on the command line
    std::int32_t zone = 0;
    std::int32_t pas_m = 0;
    std::optional<std::int32_t> depart_dixiemes;
};

// Every page carries the title (rally file's name, zone, start time, date), the
// headings and its number; lines alternate in shade, average changes are bold.
// The file is written whole or not at all, never over the rally file (Tecriture_fichier);
// nothing on success, or the message saying why it is not written, in French.
std::optional<std::string> ecrit_pdf(const std::string& chemin, const Tentete_tableau& entete,
                                     const std::vector<Tligne_marche>& lignes);
