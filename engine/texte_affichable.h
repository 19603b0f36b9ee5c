#pragma once
// Text that came from a file or the command line, as it may be shown on a terminal, in a
// message or in a spreadsheet's cell: the one escaping of every program. Control characters
// (C0, DEL and the C1 controls U+0080 to U+009F), the bidirectional embeddings, overrides and
// isolates (U+202A to U+202E, U+2066 to U+2069) and bytes that are not well-formed UTF-8 are
// written as escapes (\n, \r, \t, \xHH for a byte, \uHHHH for a character), so that nothing
// printed can command a terminal or reorder what the crew reads.

#include <cstddef>
#include <string>
#include <string_view>

std::string texte_affichable(std::string_view texte);
// The same, cut after about `longueur_max` bytes with "…", never inside a character or an
// escape: a huge text costs a bounded work and a bounded line.
std::string texte_affichable(std::string_view texte, std::size_t longueur_max);
// A message of several lines: each escaped as above, its line feeds kept.
std::string lignes_affichables(std::string_view message);

// Length of the well-formed UTF-8 sequence that starts at t[i], or 0.
std::size_t sequence_utf8(std::string_view t, std::size_t i);
