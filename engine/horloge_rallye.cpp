#include "horloge_rallye.h"

#include <cstdlib>

Thorloge_rallye::Tlecture Thorloge_rallye::lit(const Thorloges& h, bool zone_en_cours) {
    Tlecture l;
    l.compteur_ms = h.compteur_ms;
    l.ordinateur_ms = ms_du_jour(h.ordinateur);
    if (!prise_) {
        prise_ = true;
        ordinateur_ = officiel_ = l.ordinateur_ms - h.compteur_ms;
        return l;
    }
    // Without the crew's official time, only a step a zone kept can part the two clocks.
    if (!zone_en_cours && !donnee_ && officiel_ != ordinateur_) {
        l.reprise = Tsaut_horloge{ordinateur_ - officiel_, Tsuite_saut::repris};
        officiel_ = ordinateur_;
    }
    const std::int64_t saut = ecart_sur_le_jour(l.ordinateur_ms, h.compteur_ms + ordinateur_);
    if (std::llabs(saut) <= saut_horloge_min_ms) return l;
    ordinateur_ += saut;
    Tsuite_saut suite = Tsuite_saut::suivi;
    if (donnee_) {
        suite = Tsuite_saut::garde_officielle;
    } else if (zone_en_cours) {
        suite = Tsuite_saut::garde_zone;
    } else {
        officiel_ = ordinateur_;
    }
    l.saut = Tsaut_horloge{saut, suite};
    return l;
}

void Thorloge_rallye::donne_heure_officielle(const Tlecture& l, std::int64_t decalage_ms) {
    ordinateur_ = l.ordinateur_ms - l.compteur_ms;
    officiel_ = ordinateur_ + decalage_ms;
    donnee_ = true;
}

void Thorloge_rallye::retire_heure_officielle() {
    officiel_ = ordinateur_;
    donnee_ = false;
}

std::int64_t Tcompteur_suivant::suit(std::int64_t ms) {
    if (dernier_ >= 0 && ms < dernier_ - ms_par_jour / 2) ++jour_;
    if (dernier_ >= 0 && ms > dernier_ + ms_par_jour / 2) --jour_;
    dernier_ = ms;
    return jour_ * ms_par_jour + ms;
}
