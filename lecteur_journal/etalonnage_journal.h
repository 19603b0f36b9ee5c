#pragma once
// A calibration measured after the fact: the wheel revolutions a recorded run counted between
// two times of the engine's clock (the official time, when the crew gave one), and the pair
// they make with the base's length.

#include "avant_depart.h"
#include "lecture_journal.h"
#include "rejeu.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// Times, revolutions or a base the journal cannot answer for: the French text says why.
class Tmesure_refusee : public std::runtime_error {
public:
    explicit Tmesure_refusee(const std::string& t) : std::runtime_error(t) {}
};

struct Tmesure_journal {
    std::int64_t tours = 0; // forward less reverse
    Tpaire_etalonnage paire;
    // Where the replay parted from the run; inside the base, nothing was measured.
    std::optional<Tdivergence> divergence;
    bool divergence_dans_la_base = false;
};

// The revolutions of the events that came while the engine's official time stood at or after
// `de` and before `a` (to its tick, a tenth; `a` the next day when it is before `de`), the run
// replayed without a window; revolutions in reverse count back.
Tmesure_journal mesure_dans_journal(const Tjournal& j, std::int32_t de, std::int32_t a,
                                    const Tlongueur_base& base);
