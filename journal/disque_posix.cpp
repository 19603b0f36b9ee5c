// The journal's files where the system is POSIX. The data and the file's size are what a
// replay needs: fdatasync, which spares the other metadata's commit.
#include "disque.h"

#include <unistd.h>

std::FILE* ouvre_fichier(const std::filesystem::path& chemin, const char* mode) {
    return std::fopen(chemin.c_str(), mode);
}

bool synchronise_sur_disque(std::FILE* f) {
    return ::fdatasync(::fileno(f)) == 0;
}
