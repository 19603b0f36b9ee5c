#pragma once
// Whole-number arithmetic of the schedule and the cadence without signed overflow.

#include <cstdint>
#include <limits>

// A 64-bit result held in 32 bits: beyond the range it stays at the nearest limit.
constexpr std::int32_t sature_32(std::int64_t v) {
    constexpr std::int64_t mini = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t maxi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v < mini ? mini : v > maxi ? maxi : v);
}

// a x b / c truncated toward zero, exactly, for c > 0, |a| below 2^40 and b a 32-bit
// value, where a x b itself may not fit 64 bits. With a = q c + r, q b and r b / c
// have the sign of the whole product, so truncating r b / c alone is enough.
constexpr std::int64_t produit_quotient(std::int64_t a, std::int32_t b, std::int64_t c) {
    const std::int64_t q = a / c;
    const std::int64_t r = a % c;
    return q * b + r * b / c;
}
