#pragma once
// When a device source reads the list again without the system's word of a change: every
// period, until the system's own word is seen to arrive; from then on only as a safety net,
// at a longer period. Times are given by the caller.

#include "source_hid.h"

class Trythme_liste {
public:
    // `filet_ms` equal to `periode_ms`: the period never changes.
    Trythme_liste(int periode_ms, int filet_ms, Tinstant maintenant);

    // The system's word of a change came, and the list is read for it now.
    void mot_du_systeme(Tinstant maintenant);
    bool mots_vus() const { return mots_vus_; }
    int periode_ms() const { return mots_vus_ ? filet_ms_ : periode_ms_; }

    // How long a wait may last: `delai_max_ms` (negative: no limit), and no later than the
    // list's next reading. Rounded up: woken before that time, the next wait would be one of
    // no time at all.
    int attente_ms(Tinstant maintenant, int delai_max_ms) const;
    // True once the list's time has come; the next period then begins.
    bool due(Tinstant maintenant);

private:
    int periode_ms_;
    int filet_ms_;
    bool mots_vus_ = false;
    Tinstant prochaine_;
};
