#pragma once
// What the window does differently on each system, one file per system chosen by CMake
// (plateforme_posix.cpp, plateforme_windows.cpp): the rest of the console is the same on both.

#include <QString>
#include <QVariant>

#include <filesystem>
#include <utility>
#include <vector>

// Where the window keeps its journals: $XDG_STATE_HOME/velmora/journaux (by default
// ~/.local/state/velmora/journaux) on Linux; %LOCALAPPDATA%\velmora\journaux on Windows.
std::filesystem::path dossier_journaux();

// Whether the user has chosen no locale (C or POSIX, or nothing): the program then takes the
// French conventions. Windows always has the user's regional settings.
bool aucune_locale_choisie();

// The faces the form names ("Arial", "Arial Narrow", "Bauhaus 93"), through the faces the
// system has; once per application.
void substitue_polices();

// Qt's file dialog writes its state into the user's QtProject settings, which the program
// points at a folder of its own while the dialog lives. Where they are the system's registry
// (Windows), no other place can be given: the dialog's group is kept before it opens and put
// back as it was once it has closed. Empty, and nothing to put back, elsewhere.
using Treglages_dialogue = std::vector<std::pair<QString, QVariant>>;
Treglages_dialogue garde_reglages_dialogue();
void rend_reglages_dialogue(const Treglages_dialogue& avant);
