// The journal's files on Windows: opened by their UTF-16 name, which the system's code page
// cannot always hold.
#include "disque.h"

#include <io.h>

#include <string>

std::FILE* ouvre_fichier(const std::filesystem::path& chemin, const char* mode) {
    const std::wstring mode_large(mode, mode + std::char_traits<char>::length(mode));
    return ::_wfopen(chemin.c_str(), mode_large.c_str());
}

bool synchronise_sur_disque(std::FILE* f) {
    return ::_commit(::_fileno(f)) == 0;
}
