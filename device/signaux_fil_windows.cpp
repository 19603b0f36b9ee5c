// Windows delivers no POSIX signal to a thread: nothing to leave.
#include "signaux_fil.h"

void laisse_les_signaux() {}
