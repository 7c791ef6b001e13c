#include "scoring/place.h"

#include <gtest/gtest.h>

namespace morvast {
namespace {

TEST(PlaceTest, FreshTableStartsSecondEqualScoreWaitsAnyPointIsVictory) {
    EXPECT_EQ(startPlace(99).position, QString());
    EXPECT_EQ(startPlace(98).position, QStringLiteral("Place # 99"));
    const PlaceStart start = startPlace(1);
    EXPECT_EQ(start.position, QStringLiteral("Place # 2"));

    PlaceUpdate u = UpdatePlace(0, start.intPlace, {0});
    EXPECT_EQ(u.intPlace, 1);
    EXPECT_EQ(u.nextPlace, QStringLiteral("Next Place : +0"));
    EXPECT_FALSE(u.position || u.statistic || u.startMenuBlink || u.selectRow >= 0);

    u = UpdatePlace(1, start.intPlace, {0});
    EXPECT_EQ(u.intPlace, 0);
    EXPECT_FALSE(u.nextPlace);
    EXPECT_EQ(u.selectRow, 0);
    EXPECT_EQ(u.position, QStringLiteral("Place # 1"));
    EXPECT_TRUE(u.startMenuBlink && u.victory);
    EXPECT_EQ(u.statistic, QStringLiteral("...VICTORY !!!"));

    u = UpdatePlace(100000, 0, {0});  // already first: nothing more
    EXPECT_FALSE(u.victory || u.startMenuBlink || u.nextPlace || u.statistic);
}

TEST(PlaceTest, ClimbsSeveralRowsInOneLandingAndComparesNumbersNotListText) {
    const QList<double> scores{500, 300, 300, 100};
    PlaceUpdate u = UpdatePlace(301, 4, scores);
    EXPECT_EQ(u.intPlace, 1);
    EXPECT_EQ(u.selectRow, 1);
    EXPECT_EQ(u.nextPlace, QStringLiteral("Next Place : +199"));
    EXPECT_EQ(u.position, QStringLiteral("Place # 2"));
    EXPECT_EQ(u.statistic, QStringLiteral("...Place : 2"));
    EXPECT_FALSE(u.victory);

    // The last six characters of "1. Big            1234567" would read 234567.
    u = UpdatePlace(1000000, 2, {1234567, 999999});
    EXPECT_EQ(u.intPlace, 1);
    EXPECT_EQ(u.nextPlace, QStringLiteral("Next Place : +234567"));
}

}  // namespace
}  // namespace morvast
