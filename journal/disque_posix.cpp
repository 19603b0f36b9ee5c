// Durability of the journal's writes where the system is POSIX. The data and the file's
// size are what a replay needs: fdatasync, which spares the other metadata's commit.
#include "fichier_journal.h"

#include <unistd.h>

bool synchronise_sur_disque(std::FILE* f) {
    return ::fdatasync(::fileno(f)) == 0;
}
