// Durability of the journal's writes on Windows.
#include "fichier_journal.h"

#include <io.h>

bool synchronise_sur_disque(std::FILE* f) {
    return ::_commit(::_fileno(f)) == 0;
}
