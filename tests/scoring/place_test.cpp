#include "scoring/place.h"

#include <gtest/gtest.h>

namespace morvast {
namespace {

TEST(PlaceStartTest, PositionBelowTheLastRowUnlessTheTableIsFull) {
    EXPECT_EQ(startPlace(0).position, QStringLiteral("Place # 1"));
    EXPECT_EQ(startPlace(1).intPlace, 1);
    EXPECT_EQ(startPlace(1).position, QStringLiteral("Place # 2"));
    EXPECT_EQ(startPlace(98).position, QStringLiteral("Place # 99"));
    EXPECT_EQ(startPlace(99).position, QString());
    EXPECT_EQ(startPlace(99).intPlace, 99);
}

TEST(UpdatePlaceTest, FreshTableEqualScoreWaitsThenAnyPointWinsFirstPlace) {
    const QList<double> scores{0};
    PlaceUpdate u = UpdatePlace(0, 1, scores);
    EXPECT_EQ(u.intPlace, 1);
    EXPECT_EQ(u.nextPlace, QStringLiteral("Next Place : +0"));
    EXPECT_FALSE(u.position);
    EXPECT_FALSE(u.startMenuBlink);
    EXPECT_FALSE(u.statistic);
    EXPECT_EQ(u.selectRow, -1);

    u = UpdatePlace(1, 1, scores);
    EXPECT_EQ(u.intPlace, 0);
    EXPECT_FALSE(u.nextPlace);
    EXPECT_EQ(u.selectRow, 0);
    EXPECT_EQ(u.position, QStringLiteral("Place # 1"));
    EXPECT_TRUE(u.startMenuBlink);
    EXPECT_TRUE(u.victory);
    EXPECT_EQ(u.statistic, QStringLiteral("...VICTORY !!!"));

    // Already first: nothing more happens, however the score grows.
    u = UpdatePlace(100000, 0, scores);
    EXPECT_EQ(u.intPlace, 0);
    EXPECT_FALSE(u.victory || u.startMenuBlink || u.nextPlace || u.statistic);
}

TEST(UpdatePlaceTest, ClimbsPastSeveralRowsInOneLandingButNotPastAnEqualOne) {
    const QList<double> scores{500, 300, 300, 100};
    int16_t place = startPlace(4).intPlace;

    PlaceUpdate u = UpdatePlace(100, place, scores);
    EXPECT_EQ(u.intPlace, 4);
    EXPECT_EQ(u.nextPlace, QStringLiteral("Next Place : +0"));

    u = UpdatePlace(150, place, scores);
    place = u.intPlace;
    EXPECT_EQ(place, 3);
    EXPECT_EQ(u.selectRow, 3);
    EXPECT_EQ(u.nextPlace, QStringLiteral("Next Place : +150"));
    EXPECT_EQ(u.position, QStringLiteral("Place # 4"));
    EXPECT_EQ(u.statistic, QStringLiteral("...Place : 4"));
    EXPECT_FALSE(u.victory);

    u = UpdatePlace(301, place, scores);
    place = u.intPlace;
    EXPECT_EQ(place, 1);
    EXPECT_EQ(u.selectRow, 1);
    EXPECT_EQ(u.nextPlace, QStringLiteral("Next Place : +199"));
    EXPECT_EQ(u.statistic, QStringLiteral("...Place : 2"));

    u = UpdatePlace(301, place, scores);  // no new row passed: only the label is refreshed
    EXPECT_EQ(u.intPlace, 1);
    EXPECT_TRUE(u.nextPlace);
    EXPECT_FALSE(u.position || u.statistic || u.startMenuBlink);
}

TEST(UpdatePlaceTest, ComparesSevenDigitScoresAsNumbers) {
    // The last six characters of "1. Big            1234567" read 234567.
    const QList<double> scores{1234567, 999999};
    PlaceUpdate u = UpdatePlace(1000000, 2, scores);
    EXPECT_EQ(u.intPlace, 1);
    EXPECT_EQ(u.nextPlace, QStringLiteral("Next Place : +234567"));
    EXPECT_FALSE(u.victory);
}

}  // namespace
}  // namespace morvast
