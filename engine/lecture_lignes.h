#pragma once
// Bounded reading of a single-byte text file into lines. Only as many lines as
// the program looks at are kept, and an endless line is cut, so a huge or
// binary file costs neither memory nor time.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

enum class Tfins_de_ligne {
    etalonnage, // LF or CR LF; Ctrl-Z ends the file; an empty file is one empty line
    rallye,     // CR LF, LF or CR alone; an empty file has no line
};

// Longest line kept, in bytes of the file; the rest of a longer line is skipped.
inline constexpr std::size_t longueur_ligne_max = 4096;

// The first `nbr_lignes` lines of the file, each converted from Latin-1 to
// UTF-8, or nothing when the file cannot be opened.
std::optional<std::vector<std::string>> lit_lignes(const std::string& chemin, Tfins_de_ligne fins,
                                                   std::size_t nbr_lignes);
