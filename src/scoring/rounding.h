#pragma once

#include <cstdint>

namespace morvast {

// Nearest whole number, a half going to the even neighbour (the rounding of every shown number).
int64_t roundHalfEven(double x);

// A value held in tenths of a point as it is shown: divided by 10, halves to even.
int64_t shownFromTenths(int64_t tenths);

}  // namespace morvast
