#pragma once
// The survey as a spreadsheet: one line a second, ";" between columns, "," as the
// decimal mark, UTF-8, as the time table writes it.

#include "releve.h"

#include <functional>
#include <string>
#include <string_view>

// Hands the spreadsheet to `ecrit` a line at a time; stops at the first false.
bool ecrit_csv_journal(const std::function<bool(std::string_view)>& ecrit, const Treleve& r);

// A text cell: escaped as everything the programs print, quoted when it holds ";" or a quote,
// and never taken by a spreadsheet for a formula (one that starts with "=", "+", "-" or "@"
// and is not a number is preceded by an apostrophe).
std::string cellule_csv(std::string_view texte);
