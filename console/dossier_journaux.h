#pragma once
// Where the window keeps its journals: the one place that knows the platform's folders.

#include <filesystem>

// $XDG_STATE_HOME/velmora/journaux (by default ~/.local/state/velmora/journaux) on Linux;
// %LOCALAPPDATA%\velmora\journaux on Windows.
std::filesystem::path dossier_journaux();
