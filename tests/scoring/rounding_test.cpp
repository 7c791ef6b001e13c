#include <gtest/gtest.h>

#include "scoring/rounding.h"

namespace morvast {
namespace {

TEST(RoundingTest, HalvesGoToTheEvenNeighbour) {
    const std::pair<int64_t, int64_t> shown[] = {
        {12345, 1234}, {12355, 1236}, {12346, 1235}, {12344, 1234},
        {5, 0},        {15, 2},       {-15, -2},     {21474836475, 2147483648}};
    for (auto [tenths, want] : shown)
        EXPECT_EQ(shownFromTenths(tenths), want) << tenths;
    for (auto [x, rounded] :
         {std::pair{2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {40001.5, 40002}, {0.49999, 0}})
        EXPECT_EQ(roundHalfEven(x), rounded) << x;
}

}  // namespace
}  // namespace morvast
