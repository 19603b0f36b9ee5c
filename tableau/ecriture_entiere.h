#pragma once
// A file written whole or not at all: the crew finds either the new table or the old one,
// never a table cut short by a full disk.

#include <QIODevice>

#include <functional>
#include <optional>
#include <string>

// Has `ecrit` write the file's content into the device it is given, then puts the file in
// place. A regular file, or a new one, is written beside and renamed over the old one
// only once every byte is on disk; a device or a pipe, which cannot be replaced, is
// written to directly. `ecrit` returns false when it could not make the content.
// Returns nothing on success, or why the file is not written, in French.
std::optional<std::string> ecrit_fichier_entier(const std::string& chemin,
                                                const std::function<bool(QIODevice&)>& ecrit);
