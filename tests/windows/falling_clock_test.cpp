#include "windows/falling_clock.h"

#include <gtest/gtest.h>

#include "gui_fixture.h"

namespace morvast {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
constexpr auto kTick = FallingClock::kTick;

TEST(FallingClock, RunsOneTickPerSixtyFourthOfASecondAndCarriesTheRemainder) {
    testing::app();
    int ticks = 0;
    FallingClock clock([&] {
        ++ticks;
        return true;
    });
    clock.setEnabled(true);
    EXPECT_EQ(clock.advance(kTick - std::chrono::nanoseconds(1)), 0);
    EXPECT_EQ(clock.advance(std::chrono::nanoseconds(1)), 1);
    // Two and a half ticks, then another half: the halves add up to a third tick.
    EXPECT_EQ(clock.advance(kTick * 5 / 2), 2);
    EXPECT_EQ(clock.advance(kTick / 2), 1);
    EXPECT_EQ(ticks, 4);
    // One second of steady play is 64 ticks, fed in uneven slices.
    ticks = 0;
    for (int i = 0; i < 100; ++i)
        clock.advance(milliseconds(10));
    EXPECT_EQ(ticks, 64);
}

TEST(FallingClock, AStallCatchesUpOnlyAFewTicksAndForgetsTheRest) {
    testing::app();
    int ticks = 0;
    FallingClock clock([&] {
        ++ticks;
        return true;
    });
    clock.setEnabled(true);
    EXPECT_EQ(clock.advance(seconds(3)), FallingClock::kMaxCatchUp);
    // Nothing of the stall is owed afterwards.
    EXPECT_EQ(clock.advance(kTick / 2), 0);
    EXPECT_EQ(ticks, FallingClock::kMaxCatchUp);
}

TEST(FallingClock, StopsTheRunWhenATickSaysSoOrDisablesTheClock) {
    testing::app();
    int ticks = 0;
    FallingClock* self = nullptr;
    FallingClock clock([&] {
        ++ticks;
        if (ticks == 2) self->setEnabled(false);
        return ticks != 1;  // the first tick ends its run, as a new game would
    });
    self = &clock;
    clock.setEnabled(true);
    EXPECT_EQ(clock.advance(kTick * 3), 1);
    // The rest of that run is dropped, not replayed.
    EXPECT_EQ(clock.advance(std::chrono::nanoseconds(0)), 0);
    EXPECT_EQ(clock.advance(kTick * 3), 1);  // second tick pauses the clock
    EXPECT_FALSE(clock.isEnabled());
    EXPECT_EQ(clock.advance(kTick * 3), 0);
    EXPECT_EQ(ticks, 2);
}

TEST(FallingClock, ATickIsNeverEnteredAgainFromANestedEventLoop) {
    testing::app();
    int ticks = 0;
    int nested = -1;
    FallingClock* self = nullptr;
    FallingClock clock([&] {
        ++ticks;
        // A modal dialog inside the tick would let the timer fire again.
        nested = self->advance(kTick * 2);
        return true;
    });
    self = &clock;
    clock.setEnabled(true);
    EXPECT_EQ(clock.advance(kTick), 1);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace morvast
