#include <gtest/gtest.h>

#include "scoring/rounding.h"

namespace morvast {
namespace {

TEST(RoundingTest, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(shownFromTenths(12345), 1234);
    EXPECT_EQ(shownFromTenths(12355), 1236);
    EXPECT_EQ(shownFromTenths(12346), 1235);
    EXPECT_EQ(shownFromTenths(12344), 1234);
    EXPECT_EQ(shownFromTenths(5), 0);
    EXPECT_EQ(shownFromTenths(15), 2);
    EXPECT_EQ(shownFromTenths(-15), -2);
    EXPECT_EQ(shownFromTenths(int64_t{21474836475}), 2147483648);

    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(40000.5), 40000);
    EXPECT_EQ(roundHalfEven(40001.5), 40002);
    EXPECT_EQ(roundHalfEven(0.49999), 0);
}

}  // namespace
}  // namespace morvast
