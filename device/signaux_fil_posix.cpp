#include "signaux_fil.h"

#include <csignal>
#include <pthread.h>

void laisse_les_signaux() {
    sigset_t tous;
    sigfillset(&tous);
    pthread_sigmask(SIG_BLOCK, &tous, nullptr);
}
