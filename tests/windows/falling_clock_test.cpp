#include "windows/widgets/falling_clock.h"

#include "gui_fixture.h"

namespace morvast {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;
constexpr auto kTick = FallingClock::kTick;

TEST(FallingClock, FixedTickCatchUpCapAndStop) {
    testing::app();
    int ticks = 0;
    FallingClock* self = nullptr;
    int nested = -1;
    FallingClock clock([&] {
        // A modal dialog inside a tick runs a nested loop that must not enter the tick again.
        if (++ticks == 1) nested = self->advance(kTick * 2);
        if (ticks == 74) self->setEnabled(false);
        return ticks != 73;  // a tick may end its run, as a new game does
    });
    self = &clock;
    clock.setEnabled(true);
    EXPECT_EQ(clock.advance(kTick - nanoseconds(1)), 0);
    EXPECT_EQ(clock.advance(nanoseconds(1)), 1);
    EXPECT_EQ(nested, 0);
    // Two and a half ticks, then another half: the halves add up to a third tick.
    EXPECT_EQ(clock.advance(kTick * 5 / 2), 2);
    EXPECT_EQ(clock.advance(kTick / 2), 1);
    for (int i = 0; i < 100; ++i)  // one second in uneven slices
        clock.advance(milliseconds(10));
    EXPECT_EQ(ticks, 68);
    // A stall catches up a few ticks only and owes nothing afterwards.
    EXPECT_EQ(clock.advance(std::chrono::seconds(3)), FallingClock::kMaxCatchUp);
    EXPECT_EQ(clock.advance(kTick / 2), 0);
    EXPECT_EQ(clock.advance(kTick * 3), 1);       // tick 73 ends its run
    EXPECT_EQ(clock.advance(nanoseconds(0)), 0);  // and the rest of the run is dropped
    EXPECT_EQ(clock.advance(kTick * 3), 1);       // tick 74 pauses the clock
    EXPECT_FALSE(clock.isEnabled());
    EXPECT_EQ(clock.advance(kTick * 3), 0);
}

}  // namespace
}  // namespace morvast
