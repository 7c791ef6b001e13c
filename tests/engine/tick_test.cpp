#include <gtest/gtest.h>

#include "test_support.h"

namespace morvast::test {
namespace {

TEST(FallTest, FiguresComeToRestOnTheFloorByTheirLowestCell) {
    struct Case {
        const char* pattern;
        int restY;
    };
    // Lowest filled box row r rests at 30 - r.
    for (const Case c : {Case{kBar, 27}, Case{kSquare, 28}, Case{"0000111010000000", 28},
                         Case{"1000000000000000", 30}}) {
        Fixture f;
        f.setFigure(c.pattern);
        while (f.game.CanFall())
            f.game.bytFigY++;
        EXPECT_EQ(f.game.bytFigY, c.restY) << c.pattern;
        EXPECT_EQ(f.game.restingRow(), c.restY);
    }
}

TEST(FallTest, FallIntervalFollowsTheSpeed) {
    Fixture f;
    f.setFigure(kBar);
    for (int i = 0; i < 149; ++i)
        f.game.tmrDown_Timer();
    EXPECT_EQ(f.game.bytFigY, 0);
    f.game.tmrDown_Timer();
    EXPECT_EQ(f.game.bytFigY, 1);
    EXPECT_EQ(f.game.intTick, 0);

    f.game.score.intSpeed = 150;  // the last level: a row on every tick
    f.game.tmrDown_Timer();
    f.game.tmrDown_Timer();
    EXPECT_EQ(f.game.bytFigY, 3);
}

TEST(FallTest, DroppingFallsEveryTickAndLandsOnTheTickAfterReachingRest) {
    Fixture f;
    f.setFigure(kBar, 9, 5);
    f.game.blnDrop = true;
    for (int i = 0; i < 22; ++i)
        f.game.tmrDown_Timer();
    EXPECT_EQ(f.game.bytFigY, 27);
    EXPECT_EQ(f.out.count("landing"), 0);
    f.game.tmrDown_Timer();
    EXPECT_EQ(f.out.count("landing"), 1);
    EXPECT_TRUE(f.game.C[10][27] && f.game.C[10][30]);
    EXPECT_EQ(f.game.bytFigY, 0);
    EXPECT_FALSE(f.game.blnDrop);
    EXPECT_TRUE(f.game.dropEnabled);
}

TEST(RemoveLinesTest, RowsThirtyAndTwentyEightFullRowTwentyNineNot) {
    Fixture f;
    f.fillRow(30);
    f.fillRow(29, 7);
    f.fillRow(28);
    f.game.C[5][27] = true;
    int k = 0;
    f.game.RemoveFullLines(k);
    EXPECT_EQ(k, 2);
    EXPECT_EQ(f.filledInRow(30), 14);  // old row 29
    EXPECT_FALSE(f.game.C[7][30]);
    EXPECT_TRUE(f.game.C[5][29]);  // old row 27, two rows lower
    EXPECT_EQ(f.filledInRow(29), 1);
    EXPECT_EQ(f.filledInRow(0), 0);
    EXPECT_EQ(f.game.score.intLevelLines, 2);
}

TEST(RemoveLinesTest, NonAdjacentFullRowsAllGoInOnePass) {
    Fixture f;
    f.fillRow(30);
    f.fillRow(20);
    f.fillRow(0);
    f.game.C[4][19] = true;
    int k = 0;
    f.game.RemoveFullLines(k);
    EXPECT_EQ(k, 3);
    EXPECT_TRUE(f.game.C[4][21]);
    for (int y = 0; y <= 30; ++y)
        EXPECT_EQ(f.filledInRow(y), y == 21 ? 1 : 0) << y;
}

TEST(LandingTest, FourRowsAtOnceAndTheOrderOfEffects) {
    Fixture f;
    for (int y = 27; y <= 30; ++y)
        f.fillRow(y, 10);
    f.setFigure(kBar, 9, 27);  // the bar fills column 10 of rows 27..30
    f.game.score.intTimeCount = 50;
    f.game.intCells = 8;
    f.game.tmrDown_Timer();  // not yet due
    EXPECT_EQ(f.out.count("landing"), 0);
    f.game.intTick = 200;
    f.out.log.clear();
    f.game.tmrDown_Timer();

    for (int y = 0; y <= 30; ++y)
        ASSERT_EQ(f.filledInRow(y), 0) << y;
    // 5000 for the lines, 201 - 52 = 149 for time (two counted ticks), 8 cells x 0.4 = 3.2.
    EXPECT_EQ(f.game.score.lngScore, 50000 + 1490 + 32);
    EXPECT_EQ(f.out.statistics.back(), "1. +5152 -> 4 lines");

    const std::vector<std::string> expected = {
        "time 149",        "drawFigure",
        "landing",         "dropOn",
        "remain 12345678", "remain 1234567",
        "remain 123456",   "remain 12345",
        "drawField",       "drawGrid",
        "sound 6",  // the second landing variant (draw 0.1 is not above 0.5)
        "sound 7",         "lines 4 4-Lines*1 = 5000",
        "place 5152",      "drawFigure",
        "drawNext",        "time 148",
        "score 5152",      "stat 1. +5152 -> 4 lines",
        "drawFuture"};
    EXPECT_EQ(f.out.log, expected);
}

TEST(LandingTest, OneLineAfterOneCountedTickEarnsLineAndTimeBonus) {
    Fixture f;
    f.fillRow(30, 10);
    f.setFigure("0000000100000000", 9, 27);  // one cell, column 10 row 30
    f.game.score.intTimeCount = 0;
    f.game.intCells = 0;
    f.game.blnDrop = false;
    f.game.intTick = 149;
    f.game.tmrDown_Timer();  // counts one tick, then lands
    EXPECT_EQ(f.game.score.lngScore, 2750 + 2000);
    EXPECT_EQ(f.game.score.lngTimeBonusTotal, 200);
}

TEST(LandingTest, SpecialFigureBonusIsEarnedOnLandingAfterThePlaceUpdate) {
    Fixture f;
    f.setFigure(kBar, 9, 27);
    f.game.arrQueue[1].Bonus = 250000;
    f.game.arrQueue[1].IsMorvast = true;
    f.game.intTick = 200;
    f.game.tmrDown_Timer();
    int64_t place = -1;
    for (const auto& e : f.out.log)
        if (e.rfind("place ", 0) == 0) place = std::stoll(e.substr(6));
    EXPECT_GE(place, 0);
    EXPECT_LT(place, 25000);
    EXPECT_GE(f.game.score.shownScore(), 25000);
    EXPECT_TRUE(f.out.contains("morvast   Morvast Bonus : 25000"));
}

TEST(GameEndTest, OverlapEndsTheGameWithinTheLandingTickAndFreezesIt) {
    Fixture f;
    // Landed cells where the new figure enters; the current figure lands low.
    for (int y = 0; y < 4; ++y)
        for (int x = 9; x <= 12; ++x)
            f.game.C[x][y] = true;
    f.setFigure(kBar, 4, 27);
    f.game.intTick = 200;
    f.game.tmrDown_Timer();
    ASSERT_EQ(f.out.finished, 1);
    EXPECT_TRUE(f.game.ended());
    EXPECT_EQ(f.out.finishedScore, f.game.score.shownScore());

    const auto log = f.out.log;
    const auto score = f.game.score.lngScore;
    for (int i = 0; i < 500; ++i)
        f.game.tmrDown_Timer();
    f.game.moveLeftRight(0);
    f.game.rotatePress();
    f.game.dropPress();
    EXPECT_EQ(f.out.log, log);
    EXPECT_EQ(f.game.score.lngScore, score);

    f.game.newGame();
    EXPECT_FALSE(f.game.ended());
}

TEST(GameEndTest, TouchingTheEntryDoesNotEndTheGame) {
    Fixture f;
    for (int x = 4; x <= 18; ++x)
        f.game.C[x][4] = true;
    f.game.C[10][4] = false;
    f.setFigure(kBar, 4, 27);
    f.game.intTick = 200;
    f.game.tmrDown_Timer();
    // The new figure (fallback draws make it shape 0: cells in rows 0..2) sits above row 4.
    EXPECT_EQ(f.out.finished, 0);
    EXPECT_FALSE(f.game.ended());
}

TEST(MusicSweepTest, PanRunsPastFiveThousandAndTurns) {
    Fixture f;
    f.game.settings.EnableLoop = true;
    f.game.settings.SpeedChange = 500;
    f.game.ForLoop = -5000;
    f.game.intPanDir = 1;
    for (int i = 0; i < 60; ++i)
        f.game.tmrDown_Timer();
    ASSERT_EQ(f.out.pans.size(), 60u);
    EXPECT_EQ(f.out.pans[0], -5000);
    EXPECT_EQ(f.out.pans[21], 5500);  // first value above 5000
    EXPECT_EQ(f.out.pans[22], 5000);
    EXPECT_EQ(f.out.pans[43], -5500);
    EXPECT_EQ(f.out.pans[44], -5000);

    f.game.settings.EnableLoop = false;
    f.game.tmrDown_Timer();
    EXPECT_EQ(f.out.pans.size(), 60u);
}

}  // namespace
}  // namespace morvast::test
