#pragma once
// What the journal asks of the system's files, one file per system (disque_posix.cpp,
// disque_windows.cpp): opening by a path that may hold any character, and durability.

#include <cstdio>
#include <filesystem>

// std::fopen of `chemin` with `mode` ("rb", "wb"), through the system's own names where its
// narrow ones cannot hold every path (Windows); errno says why on failure.
std::FILE* ouvre_fichier(const std::filesystem::path& chemin, const char* mode);
// Makes what was written to the file durable (fdatasync, or its Windows twin); false on failure.
bool synchronise_sur_disque(std::FILE* f);
