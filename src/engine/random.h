#pragma once

#include <cstdint>

namespace morvast {

// Uniform values in [0, 1). Every random draw of the game goes through one such source.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};

// The game's generator: a 24-bit linear congruential stream that starts from the same fixed
// state at every program start and is never reseeded; only the stirring varies it.
class Rnd final : public RandomSource {
  public:
    double next() override;
    uint32_t state() const { return state_; }

  private:
    uint32_t state_ = 0x50000;
};

// The seconds (0 to 59) of the current time of day.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual int seconds() const = 0;
};

class SystemClock final : public Clock {
  public:
    int seconds() const override;
};

}  // namespace morvast
