#pragma once
// A journal played back in the real window, at a chosen multiple of real time: the crew's
// own input is ignored until the end, and the title says so.

#include "lecture_journal.h"

#include <string>

class QApplication;

// Runs until the window is closed; the program's exit status: 1 when the replay met a
// divergence, 0 otherwise.
int rejoue_dans_la_fenetre(QApplication& app, const Tjournal& journal, const std::string& nom,
                           double vitesse);
