#include "scoring/rounding.h"

#include <cmath>

namespace morvast {

int64_t roundHalfEven(double x) {
    const double f = std::floor(x);
    const double d = x - f;
    auto n = static_cast<int64_t>(f);
    if (d > 0.5) return n + 1;
    if (d < 0.5) return n;
    return (n % 2 == 0) ? n : n + 1;
}

int64_t shownFromTenths(int64_t tenths) {
    // Integer arithmetic, so large scores round exactly.
    int64_t q = tenths / 10;
    int64_t r = tenths % 10;
    if (r < 0) {
        r += 10;
        q -= 1;
    }
    if (r > 5 || (r == 5 && (q % 2 != 0))) ++q;
    return q;
}

}  // namespace morvast
