#pragma once
// The words of a journal line: bare words, and texts between double quotes in which
// every byte that is not printable UTF-8 is escaped, so that a line is always one
// line of valid UTF-8 whatever a file or a field held.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Appends t quoted and escaped: \\ \" \n \r \t, and \xHH for any other control byte, DEL
// and every byte that is not part of a well-formed UTF-8 sequence.
void ajoute_texte(std::string& ligne, std::string_view t);

// A text from a journal as a terminal may show it: escaped as the journal escapes it (without
// the quotes) and as every program escapes what it prints (texte_affichable), and cut after
// about `longueur_max` bytes with "…" so that a huge text does not flood the screen.
std::string texte_pour_terminal(std::string_view t, std::size_t longueur_max = 200);

// The words of a line, quoted texts unescaped; nothing when a quote is not closed, an
// escape is unknown, two words are not separated by one space, or a byte is a control
// byte or not well-formed UTF-8.
std::optional<std::vector<std::string>> decoupe_ligne(std::string_view ligne);

// Whether the line holds only well-formed UTF-8 and no control byte.
bool ligne_lisible(std::string_view ligne);

// A whole number written in decimal with an optional "-", within [min, max].
std::optional<std::int64_t> lit_nombre(std::string_view mot, std::int64_t min, std::int64_t max);

// Bytes as hexadecimal pairs ("0030"), or "-" for none; and back.
std::string octets_en_hexa(const std::uint8_t* octets, std::size_t n);
std::optional<std::vector<std::uint8_t>> hexa_en_octets(std::string_view mot);
