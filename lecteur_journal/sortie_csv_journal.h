#pragma once
// The survey as a spreadsheet: one line a second, ";" between columns, "," as the
// decimal mark, UTF-8, as the time table writes it.

#include "releve.h"

#include <ostream>

void ecrit_csv_journal(std::ostream& sortie, const Treleve& r);
