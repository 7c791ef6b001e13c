#include "windows/falling_clock.h"

#include "gui_fixture.h"

namespace morvast {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;
constexpr auto kTick = FallingClock::kTick;

TEST(FallingClock, RunsOneTickPerSixtyFourthOfASecondAndCatchesUpOnlyAFew) {
    testing::app();
    int ticks = 0;
    FallingClock clock([&] { return ++ticks > 0; });
    clock.setEnabled(true);
    EXPECT_EQ(clock.advance(kTick - nanoseconds(1)), 0);
    EXPECT_EQ(clock.advance(nanoseconds(1)), 1);
    // Two and a half ticks, then another half: the halves add up to a third tick.
    EXPECT_EQ(clock.advance(kTick * 5 / 2), 2);
    EXPECT_EQ(clock.advance(kTick / 2), 1);
    ticks = 0;
    for (int i = 0; i < 100; ++i)
        clock.advance(milliseconds(10));
    EXPECT_EQ(ticks, 64);
    // A stall runs a few ticks and owes nothing afterwards.
    EXPECT_EQ(clock.advance(std::chrono::seconds(3)), FallingClock::kMaxCatchUp);
    EXPECT_EQ(clock.advance(kTick / 2), 0);
}

TEST(FallingClock, StopsTheRunWhenATickSaysSoOrDisablesTheClock) {
    testing::app();
    int ticks = 0;
    FallingClock* self = nullptr;
    FallingClock clock([&] {
        if (++ticks == 2) self->setEnabled(false);
        return ticks != 1;  // the first tick ends its run, as a new game would
    });
    self = &clock;
    clock.setEnabled(true);
    EXPECT_EQ(clock.advance(kTick * 3), 1);
    EXPECT_EQ(clock.advance(nanoseconds(0)), 0);  // the rest of that run is dropped
    EXPECT_EQ(clock.advance(kTick * 3), 1);
    EXPECT_FALSE(clock.isEnabled());
    EXPECT_EQ(clock.advance(kTick * 3), 0);
}

}  // namespace
}  // namespace morvast
