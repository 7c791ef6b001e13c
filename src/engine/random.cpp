#include "engine/random.h"

#include <ctime>

namespace morvast {

double Rnd::next() {
    state_ = (state_ * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    return static_cast<double>(state_) / 16777216.0;
}

int SystemClock::seconds() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_sec % 60;  // a leap second reads as 0
}

}  // namespace morvast
