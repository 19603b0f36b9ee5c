#pragma once
// The time from a wheel pulse written to uhid by the virtual box to the end of the paint
// that shows it, in a guest (scripts/vm) where the box, the kernel and the window share
// one CLOCK_MONOTONIC. The same run for the program and for the bare window: the box at
// 80 km/h, then in bursts; every revolution's stages stamped on the way.

#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Tboitier_pilote;

std::int64_t instant_monotone_ns();

// Stamps from one thread, read once it is done: reserved at once, never reallocated.
class Thorodatages {
public:
    explicit Thorodatages(std::size_t capacite = 1 << 20) : t_(capacite) {}
    void note(std::int64_t ns) {
        const std::size_t n = n_.load(std::memory_order_relaxed);
        if (n == t_.size()) return;
        t_[n] = ns;
        n_.store(n + 1, std::memory_order_release);
    }
    void note() { note(instant_monotone_ns()); }
    std::vector<std::int64_t> valeurs() const {
        return {t_.begin(), t_.begin() + static_cast<long>(n_.load(std::memory_order_acquire))};
    }

private:
    std::vector<std::int64_t> t_;
    std::atomic<std::size_t> n_{0};
};

// What one window gave: for every revolution, in order, when its report left the reader
// thread and when its notification reached the window's thread; and every paint of the
// digit that changes at each revolution: its start, the revolutions it shows, its end; and
// when each repaint of the window was started (Qt's update request, which paints every
// widget marked since the last one).
struct Tmesures_latence {
    std::vector<std::int64_t> lus;
    std::vector<std::int64_t> remis;
    std::vector<std::int64_t> requetes;
    std::vector<std::int64_t> debuts_peinture;
    std::vector<long> tours_montres;
    std::vector<std::int64_t> fins_peinture;
    Tmesures_latence() {
        for (auto* v : {&lus, &remis, &requetes, &debuts_peinture, &fins_peinture})
            v->reserve(1 << 20);
        tours_montres.reserve(1 << 20);
    }
};

// The run: `reguliers` revolutions at 80 km/h, then `salves` bursts of `par_salve`
// revolutions at the box's pace (250 a second), `pause_ms` apart.
struct Tscenario_latence {
    long reguliers = 2000;
    long salves = 160;
    long par_salve = 50;
    int pause_ms = 300;
};
// From the arguments after the program's name: reguliers salves par_salve pause_ms.
Tscenario_latence lit_scenario_latence(int argc, char** argv);

// The box started with its sending times kept in `fichier_envois`; none when it did not come.
std::unique_ptr<Tboitier_pilote> demarre_boitier(const std::string& fichier_envois);

// Drives the box through the scenario, the window's events running meanwhile;
// `tours_traites` counts the revolutions the window has taken in. The revolutions of
// the steady part, or -1 when the window stopped taking them in.
long deroule_scenario(Tboitier_pilote& boitier, const Tscenario_latence& s,
                      const std::function<long()>& tours_traites);

// Lets the events run for that long.
void laisse_tourner(int ms);

// Reads the box's sending times, matches them with the window's stamps, prints the
// figures ("latence ..." and "etape ..." lines); false when they do not add up.
bool rapporte_latence(const char* fenetre, const std::string& fichier_envois,
                      const Tmesures_latence& m, long reguliers);
