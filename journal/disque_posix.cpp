// Durability of the journal's writes where the system is POSIX.
#include "fichier_journal.h"

#include <unistd.h>

bool synchronise_sur_disque(std::FILE* f) {
    return ::fsync(::fileno(f)) == 0;
}
