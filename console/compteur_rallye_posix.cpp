#include "compteur_rallye.h"

#include <ctime>

std::int64_t compteur_rallye_ms() {
    // CLOCK_BOOTTIME, not CLOCK_MONOTONIC: the latter stops while the laptop sleeps, and a
    // zone woken in its middle would run late by the whole sleep. Both ignore settings of the
    // wall clock and follow the time service's rate, as the wall clock does.
    timespec t{};
    clock_gettime(CLOCK_BOOTTIME, &t);
    return std::int64_t{t.tv_sec} * 1000 + t.tv_nsec / 1'000'000;
}
