#pragma once
// The rally clock's counter from the system: milliseconds that never step and keep counting
// while the computer sleeps. One file per system.

#include <cstdint>

std::int64_t compteur_rallye_ms();
