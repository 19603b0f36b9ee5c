#pragma once
// The rally clock: a counter that never steps and keeps counting while the computer sleeps,
// plus the offset that makes it official time, taken from the computer's clock at start-up or
// given by the crew (HO). The computer's clock is compared with it at every reading, and a
// step of more than half a second either way is an event: outside a zone the rally clock
// follows it; a running zone keeps its time and follows once it ends; an official time the
// crew gave stays whatever the computer's clock does.

#include "heure_du_jour.h"

#include <cstdint>
#include <optional>

// One reading of the two clocks, taken together.
struct Thorloges {
    std::int64_t compteur_ms = 0; // never steps, counts through sleep; any origin
    Theure_du_jour ordinateur;    // the computer's local time of day
};

// What the rally clock did with a step of the computer's clock.
enum class Tsuite_saut : std::uint8_t {
    suivi,            // no zone ran: the rally clock moved with the computer's
    garde_zone,       // a zone ran: it kept its time, until the zone ends
    garde_officielle, // the crew gave the official time: it kept it
    repris,           // the zone that kept a step ended: the rally clock moved now
};

struct Tsaut_horloge {
    // How far the computer's clock moved; for `repris`, how far the rally clock moves now.
    std::int64_t saut_ms = 0;
    Tsuite_saut suite = Tsuite_saut::suivi;
    bool operator==(const Tsaut_horloge&) const = default;
};

// A move of the computer's clock beyond this, either way, is a step; a smaller one is the
// two clocks read a moment apart.
inline constexpr std::int64_t saut_horloge_min_ms = 500;

// A counter that moves with a time of day, counted on past midnight: for a clock that has no
// counter of its own (a scripted clock, a journal written before the rally clock).
class Tcompteur_suivant {
public:
    std::int64_t suit(std::int64_t ms_du_jour);

private:
    std::int64_t dernier_ = -1;
    std::int64_t jour_ = 0;
};

class Thorloge_rallye {
public:
    struct Tlecture {
        std::int64_t compteur_ms = 0;
        std::int64_t ordinateur_ms = 0;       // the computer's time of day read, in ms
        std::optional<Tsaut_horloge> reprise; // a kept step caught up (before `saut`)
        std::optional<Tsaut_horloge> saut;    // a step seen in this reading
    };

    // One reading; `zone_en_cours`: a zone's cadence is running on the rally clock.
    Tlecture lit(const Thorloges& h, bool zone_en_cours);

    // The official time as the crew gave it: `decalage_ms` ahead of the computer's clock as
    // read in `l`. The computer's clock is taken as it stands then.
    void donne_heure_officielle(const Tlecture& l, std::int64_t decalage_ms);
    // Back to the computer's clock.
    void retire_heure_officielle();

    bool prise() const { return prise_; }
    bool heure_officielle_donnee() const { return donnee_; }
    // Whether the official time is the computer's own.
    bool suit_l_ordinateur() const { return officiel_ == ordinateur_; }
    // Official time minus the computer's clock, the short way round the day.
    std::int64_t decalage_ms() const { return ecart_sur_le_jour(officiel_, ordinateur_); }
    // The official time for a counter's value, counted on past midnight (the day it started
    // is day 0); and as a time of day.
    std::int64_t officiel_continu_ms(std::int64_t compteur_ms) const {
        return compteur_ms + officiel_;
    }
    Theure_du_jour officielle(std::int64_t compteur_ms) const {
        return heure_de_ms(officiel_continu_ms(compteur_ms));
    }
    // The computer's time of day for a counter's value, as the rally clock last knew it.
    Theure_du_jour ordinateur(std::int64_t compteur_ms) const {
        return heure_de_ms(compteur_ms + ordinateur_);
    }

private:
    bool prise_ = false;
    bool donnee_ = false;
    // Each clock minus the counter; never wrapped, so that the official time counts on
    // past midnight.
    std::int64_t ordinateur_ = 0;
    std::int64_t officiel_ = 0;
};
