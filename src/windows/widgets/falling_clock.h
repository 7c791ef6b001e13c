#pragma once

#include <chrono>
#include <functional>

#include <QObject>
#include <QTimer>

namespace morvast {

// The falling timer: a fixed-timestep loop. A steady clock decides how many ticks of exactly
// 1/64 s are due, so the game falls at the same speed whatever the resolution of the system's
// timers. After a stall only a few ticks are caught up and the rest of the lost time is dropped,
// so the figure never jumps.
class FallingClock : public QObject {
    Q_OBJECT
  public:
    using Nanos = std::chrono::nanoseconds;
    static constexpr Nanos kTick{15'625'000};
    // The timer wakes once per two ticks and runs both: game time stays exact to the tick, and
    // the window is repainted 32 times a second, which halves what a second of play costs.
    static constexpr int kTicksPerWake = 2;
    static constexpr int kMaxCatchUp = 2 * kTicksPerWake;

    // tick runs one tick and answers whether further due ticks of this run may follow (false
    // when the game ended, a new game began or the clock was stopped inside the tick).
    explicit FallingClock(std::function<bool()> tick, QObject* parent = nullptr);

    // tmrDown.Enabled. Enabling starts counting afresh from now.
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }

    // Adds elapsed time and runs the ticks that are due; returns how many ran. The timer calls
    // it with the steady clock's time; tests call it with made-up times.
    int advance(Nanos elapsed);

  private:
    void onTimer();
    void scheduleNext();

    std::function<bool()> tick_;
    QTimer timer_;
    std::chrono::steady_clock::time_point last_;
    Nanos accumulated_{0};
    bool enabled_ = false;
    bool inTick_ = false;
};

}  // namespace morvast
