#pragma once
// Whether a HID report descriptor gives its reports numbers. The kernel puts the
// number before the data only for such devices; the others get a 0 added in front,
// so that every report handed on has its identifier first.

#include <cstddef>
#include <cstdint>

bool rapports_numerotes(const std::uint8_t* descripteur, std::size_t longueur);
