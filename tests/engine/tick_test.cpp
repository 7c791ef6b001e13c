#include <gtest/gtest.h>

#include "test_support.h"

namespace morvast::test {
namespace {

TEST(FallTest, RestingRowsIntervalsAndDrops) {
    // The lowest filled box row r rests at 30 - r.
    for (auto [pattern, restY] : {std::pair{kBar, 27}, {kSquare, 28}, {"1000000000000000", 30}}) {
        Fixture f;
        f.setFigure(pattern);
        EXPECT_EQ(f.game.restingRow(), restY) << pattern;
        while (f.game.CanFall())
            f.game.bytFigY++;
        EXPECT_EQ(f.game.bytFigY, restY) << pattern;
    }

    Fixture f;
    f.setFigure(kBar);
    for (int i = 0; i < 149; ++i)
        f.game.tmrDown_Timer();
    EXPECT_EQ(f.game.bytFigY, 0);
    f.game.tmrDown_Timer();
    EXPECT_EQ(f.game.bytFigY, 1);
    f.game.score.intSpeed = 150;  // the last level: a row on every tick
    f.game.tmrDown_Timer();
    EXPECT_EQ(f.game.bytFigY, 2);

    // Dropping: a sound chosen by a draw, the button off and the time bonus frozen; a row on
    // every tick, and the landing comes on the tick after reaching rest.
    f.setFigure(kBar, 9, 5);
    f.game.score.intSpeed = 0;
    f.out.log.clear();
    f.rnd.script = {0.6, 0.5};
    f.game.dropPress();
    f.game.dropPress();
    EXPECT_EQ(f.out.log, (std::vector<std::string>{"sound 3", "dropOff", "sound 4", "dropOff"}));
    const int counted = f.game.score.intTimeCount;
    for (int i = 0; i < 22; ++i)
        f.game.tmrDown_Timer();
    EXPECT_EQ(f.game.score.intTimeCount, counted);
    EXPECT_EQ(f.game.bytFigY, 27);
    EXPECT_EQ(f.out.count("landing"), 0);
    f.game.tmrDown_Timer();
    EXPECT_EQ(f.out.count("landing"), 1);
    EXPECT_TRUE(f.game.C[10][27] && f.game.C[10][30]);
    EXPECT_FALSE(f.game.blnDrop);  // the button comes back with the landing: see LandingTest
}

TEST(RemoveLinesTest, RowsThirtyAndTwentyEightFullRowTwentyNineNot) {
    Fixture f;
    f.fillRow(30);
    f.fillRow(29, 7);
    f.fillRow(28);
    f.fillRow(10);  // far above: found in the same pass
    f.game.C[5][27] = true;
    f.game.C[6][0] = true;  // the top row moves down like any other and leaves row 0 empty
    int k = 0;
    f.game.RemoveFullLines(k);
    EXPECT_EQ(k, 3);
    EXPECT_EQ(f.filledInRow(30), 14);  // old row 29
    EXPECT_TRUE(f.game.C[5][29]);      // old row 27, two rows lower
    EXPECT_TRUE(f.game.C[6][3]);       // old row 0, three rows lower
    for (int y = 0; y <= 28; ++y)
        EXPECT_EQ(f.filledInRow(y), y == 3) << y;
    EXPECT_EQ(f.game.score.intLevelLines, 3);
}

TEST(LandingTest, FourRowsOfASpecialFigureAtOnceInTheOrderOfEffects) {
    Fixture f;
    for (int y = 27; y <= 30; ++y)
        f.fillRow(y, 10);
    f.setFigure(kBar, 9, 27);  // the bar fills column 10 of rows 27..30
    f.game.arrQueue[1].Bonus = 250000;
    f.game.score.intTimeCount = 51;
    f.game.score.lngTimeBonusTotal = 1000;
    f.game.intCells = 8;
    f.game.intTick = 200;
    f.game.tmrDown_Timer();

    for (int y = 0; y <= 30; ++y)
        ASSERT_EQ(f.filledInRow(y), 0) << y;
    // 5000 for the lines, 201 - 52 = 149 for time, 8 cells x 0.4 = 3.2, and the figure's 25000
    // only after the place has followed the score.
    EXPECT_EQ(f.game.score.lngScore, 50000 + 1490 + 32 + 250000);
    EXPECT_EQ(f.game.score.lngTimeBonusTotal, 1000 + 149);
    // clang-format off
    const std::vector<std::string> expected = {
        "time 149", "drawFigure", "landing", "dropOn",
        "remain 12345678", "remain 1234567", "remain 123456", "remain 12345",
        "drawField", "drawGrid",
        "sound 6",  // the second landing variant: the draw 0.1 is not above 0.5
        "sound 7", "lines 4-Lines*1 = 5000", "place 5152", "morvast   Morvast Bonus : 25000",
        "drawFigure", "drawNext", "time 148", "score 30152", "stat 1. +30152 -> 4 lines",
        "drawFuture"};
    // clang-format on
    EXPECT_EQ(f.out.log, expected);
    // Counted afresh for the new current and next figures, four cells each.
    EXPECT_EQ(f.game.intCells, 8);
}

TEST(GameEndTest, OverlapEndsTheGameInTheLandingTickAndFreezesIt) {
    for (const bool overlap : {false, true}) {
        Fixture f;
        // The next figure (bar of three) enters at (10..11, 0..2): row 3 only touches it. Column 9
        // stays clear, so that the ended game's figure could still move left.
        for (int x = 10; x <= 11; ++x)
            f.game.C[x][overlap ? 2 : 3] = true;
        f.setFigure(kBar, 4, 27);
        f.game.intTick = 200;
        f.game.tmrDown_Timer();
        EXPECT_EQ(f.out.count("finish"), overlap ? 1 : 0);
        EXPECT_EQ(f.game.ended(), overlap);
        if (!overlap) continue;
        // The end is the tick's last act, and nothing moves the ended game.
        EXPECT_EQ(f.out.log.back(), "finish " + std::to_string(f.game.score.shownScore()));
        const auto log = f.out.log;
        for (int i = 0; i < 500; ++i)
            f.game.tmrDown_Timer();
        f.game.moveLeftRight(0);
        f.game.rotatePress();
        f.game.dropPress();
        EXPECT_EQ(f.out.log, log);
    }
}

TEST(MusicSweepTest, PanRunsPastFiveThousandAndTurns) {
    Fixture f;
    f.game.settings.EnableLoop = true;
    f.game.settings.SpeedChange = 500;
    f.game.ForLoop = -5000;
    for (int i = 0; i < 45; ++i)
        f.game.tmrDown_Timer();
    ASSERT_EQ(f.out.pans.size(), 45u);
    EXPECT_EQ(f.out.pans[21], 5500);  // the first value above 5000
    EXPECT_EQ(f.out.pans[22], 5000);
    EXPECT_EQ(f.out.pans[43], -5500);
    EXPECT_EQ(f.out.pans[44], -5000);
    f.game.settings.EnableLoop = false;
    f.game.tmrDown_Timer();
    EXPECT_EQ(f.out.pans.size(), 45u);
}

}  // namespace
}  // namespace morvast::test
