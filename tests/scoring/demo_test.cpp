#include <gtest/gtest.h>

#include <map>

#include "scoring/demo.h"

namespace morvast {
namespace {

TEST(DemoTest, PressesAndIntervalsFollowTheShares) {
    EXPECT_EQ(chooseDemoPress(0.0, 0.0).intervalMs, 5);
    EXPECT_EQ(chooseDemoPress(0.9999999, 0.0).intervalMs, 755);
    EXPECT_EQ(chooseDemoPress(0.0, 0.0).action, DemoAction::Invert);
    EXPECT_EQ(chooseDemoPress(0.0, 0.9999).action, DemoAction::Invert);  // 23
    EXPECT_EQ(chooseDemoPress(0.0, 22.0 / 23).action, DemoAction::Invert);
    EXPECT_EQ(chooseDemoPress(0.0, 1.0 / 23).action, DemoAction::Left);
    EXPECT_EQ(chooseDemoPress(0.0, 7.0 / 23).action, DemoAction::Left);
    EXPECT_EQ(chooseDemoPress(0.0, 8.0 / 23).action, DemoAction::Right);
    EXPECT_EQ(chooseDemoPress(0.0, 15.0 / 23).action, DemoAction::Right);
    EXPECT_EQ(chooseDemoPress(0.0, 16.0 / 23).action, DemoAction::Rotate);
    EXPECT_EQ(chooseDemoPress(0.0, 19.0 / 23).action, DemoAction::Rotate);
    EXPECT_EQ(chooseDemoPress(0.0, 20.0 / 23).action, DemoAction::Drop);
    EXPECT_EQ(chooseDemoPress(0.0, 21.0 / 23).action, DemoAction::Drop);

    std::map<DemoAction, int> counts;
    const int n = 230000;
    for (int i = 0; i < n; ++i)
        counts[chooseDemoPress(0.5, (i + 0.5) / n).action]++;
    EXPECT_NEAR(counts[DemoAction::Left], n * 7 / 23, 20);
    EXPECT_NEAR(counts[DemoAction::Right], n * 8 / 23, 20);
    EXPECT_NEAR(counts[DemoAction::Rotate], n * 4 / 23, 20);
    EXPECT_NEAR(counts[DemoAction::Drop], n * 2 / 23, 20);
    EXPECT_NEAR(counts[DemoAction::Invert], n * 2 / 23, 20);
}

}  // namespace
}  // namespace morvast
