#include "windows/widgets/falling_clock.h"

namespace morvast {

FallingClock::FallingClock(std::function<bool()> tick, QObject* parent)
    : QObject(parent), tick_(std::move(tick)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &FallingClock::onTimer);
}

void FallingClock::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled) {
        last_ = std::chrono::steady_clock::now();
        accumulated_ = Nanos{0};
        scheduleNext();
    } else {
        timer_.stop();
    }
}

int FallingClock::advance(Nanos elapsed) {
    // A modal dialog opened inside a tick runs its own event loop; the tick under way must not
    // be entered again from there.
    if (inTick_ || !enabled_) return 0;
    accumulated_ += elapsed;
    int due = static_cast<int>(accumulated_ / kTick);
    if (due > kMaxCatchUp) {
        due = kMaxCatchUp;
        accumulated_ = Nanos{0};
    } else {
        accumulated_ -= due * kTick;
    }
    int ran = 0;
    inTick_ = true;
    while (ran < due) {
        ++ran;
        if (!tick_() || !enabled_) break;
    }
    inTick_ = false;
    if (ran < due) accumulated_ = Nanos{0};
    return ran;
}

void FallingClock::onTimer() {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    const Nanos elapsed = now - last_;
    last_ = now;
    advance(elapsed);
    // A tick that took long (a modal dialog, for one) is not owed to the game afterwards.
    const auto after = std::chrono::steady_clock::now();
    if (after - now > kTick) last_ = after;
    if (enabled_ && !timer_.isActive()) scheduleNext();
}

void FallingClock::scheduleNext() {
    const Nanos remaining = kTicksPerWake * kTick - accumulated_;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(remaining).count();
    timer_.start(static_cast<int>(std::max<long long>(1, ms)));
}

}  // namespace morvast
