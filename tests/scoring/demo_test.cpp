#include <gtest/gtest.h>

#include <string>

#include "scoring/demo.h"

namespace morvast {
namespace {

TEST(DemoTest, PressesAndIntervalsFollowTheShares) {
    EXPECT_EQ(chooseDemoPress(0.0, 0.0).intervalMs, 5);
    EXPECT_EQ(chooseDemoPress(0.9999999, 0.0).intervalMs, 755);
    // The second draw times 23, rounded, picks the press: checked near both ends of every share,
    // so a floor in place of the rounding or a share out of place shows.
    const std::string order = "ILLLLLLLRRRRRRRRTTTTDDII", letters = "LRTDI";  // as DemoAction
    for (int k = 0; k <= 23; ++k)
        for (double r : {k - 0.4, k + 0.4})
            if (r >= 0 && r < 23) {
                const auto want = static_cast<DemoAction>(letters.find(order[size_t(k)]));
                EXPECT_EQ(chooseDemoPress(0.0, r / 23).action, want) << r;
            }
}

}  // namespace
}  // namespace morvast
