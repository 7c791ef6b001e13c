#include <gtest/gtest.h>

#include "test_support.h"

namespace morvast::test {
namespace {

TEST(MoveTest, RefusedMovesAreSilentAndLeaveTheFigure) {
    Fixture f;
    f.setFigure(kBar, 3);  // the bar stands in column 4, the leftmost playing column
    EXPECT_FALSE(f.game.moveLeftRight(0));
    EXPECT_EQ(f.game.bytFigX, 3);
    EXPECT_TRUE(f.out.log.empty());

    f.game.C[5][2] = true;  // a landed cell beside the bar
    EXPECT_FALSE(f.game.moveLeftRight(2));
    EXPECT_TRUE(f.out.log.empty());

    f.game.C[5][2] = false;
    EXPECT_TRUE(f.game.moveLeftRight(2));
    EXPECT_EQ(f.game.bytFigX, 4);
    EXPECT_EQ(f.out.log, (std::vector<std::string>{"sound 1", "drawFigure"}));

    f.setFigure(kBar, 17);  // column 18, the rightmost
    EXPECT_FALSE(f.game.Enable_Move_Left_Right(2));
    EXPECT_TRUE(f.game.Enable_Move_Left_Right(0));
}

TEST(RotateTest, QuarterTurnsInsideTheBox) {
    Fixture f;
    f.setFigure(kBar, 9, 5);
    f.game.rotatePress();
    for (int x = 0; x < 4; ++x) {
        EXPECT_TRUE(f.game.Figura[x][1]) << x;
        EXPECT_FALSE(f.game.Figura[x][0] || f.game.Figura[x][2] || f.game.Figura[x][3]);
    }
    EXPECT_EQ(f.out.log, (std::vector<std::string>{"sound 2", "drawFigure"}));

    for (const std::string p :
         {"0000111010000000", "0000011100010000", "0000010001100010", "0000001001100100",
          "0000001001110000", kSquare, kSuperFigure, "1000000000010110"}) {
        f.setFigure(p, 9, 5);
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(f.game.RotateFigure()) << p;
        EXPECT_EQ(f.game.Figura, cellsFromPattern(p)) << p;
    }
}

TEST(RotateTest, RefusedAtTheWallTheFloorAndLandedCellsButStillSounds) {
    Fixture f;
    f.setFigure(kBar, 17, 5);  // rotated cells would reach column 20
    f.game.rotatePress();
    EXPECT_EQ(f.game.Figura, cellsFromPattern(kBar));
    EXPECT_EQ(f.out.log.front(), "sound 2");

    f.setFigure("1000100010001000", 9, 28);  // a lying bar in row 28 turns into column 12
    EXPECT_FALSE(f.game.RotateFigure());     // and would reach row 31

    f.setFigure(kBar, 9, 5);
    f.game.C[12][6] = true;
    EXPECT_FALSE(f.game.RotateFigure());
    EXPECT_EQ(f.game.Figura, cellsFromPattern(kBar));
}

TEST(InvertTest, RefusedForLandedCellsInTheBoxAndBoxesOutsideTheField) {
    Fixture f;
    f.setFigure(kSquare, 9, 5);
    f.game.C[9][5] = true;  // the box's corner, where the figure has no cell
    f.game.invertPress();
    EXPECT_EQ(f.game.Figura, cellsFromPattern(kSquare));
    EXPECT_EQ(f.out.count("sound"), 0);

    f.game.C[9][5] = false;
    for (int x : {3, 16}) {
        f.setFigure(kSquare, x, 5);
        EXPECT_FALSE(f.game.CanInvert()) << x;
    }
    f.setFigure(kSquare, 15, 5);
    EXPECT_TRUE(f.game.CanInvert());
}

TEST(InvertTest, NeverPutsCellsBelowTheFloorOrLeavesAnEmptyFigure) {
    Fixture f;
    f.setFigure(kBar, 9, 27);  // box rows 27..30: the inverted figure still fits
    EXPECT_TRUE(f.game.CanInvert());
    f.setFigure(kSquare, 9, 28);  // the inverted square would fill row 31
    EXPECT_FALSE(f.game.CanInvert());
    f.setFigure("1111111111111111", 9, 5);
    EXPECT_FALSE(f.game.CanInvert());
}

TEST(InvertTest, TwoInversionsRestoreAndCellsAreNotRecounted) {
    Fixture f;
    f.setFigure(kSquare, 9, 5);
    const int cells = f.game.intCells;
    f.game.invertPress();
    int filled = 0;
    for (const auto& col : f.game.Figura)
        for (bool c : col)
            filled += c;
    EXPECT_EQ(filled, 12);
    EXPECT_EQ(f.out.log, (std::vector<std::string>{"drawFigure", "sound 9"}));
    f.game.invertPress();
    EXPECT_EQ(f.game.Figura, cellsFromPattern(kSquare));
    EXPECT_EQ(f.game.intCells, cells);

    f.out.log.clear();
    f.game.blnPlaying = false;  // paused: a click on the button does nothing
    f.game.invertPress();
    EXPECT_EQ(f.game.Figura, cellsFromPattern(kSquare));
    EXPECT_TRUE(f.out.log.empty());
}

TEST(DropTest, DropDisablesTheButtonAndPicksOneOfTwoSounds) {
    Fixture f;
    f.rnd.script = {0.6};
    f.game.dropPress();
    EXPECT_TRUE(f.game.blnDrop);
    EXPECT_FALSE(f.game.dropEnabled);
    EXPECT_EQ(f.out.log, (std::vector<std::string>{"sound 3", "dropOff"}));
    f.rnd.script = {0.5};
    f.game.dropPress();
    EXPECT_EQ(f.out.log[2], "sound 4");

    // The time bonus stands still during the drop.
    const int shownBefore = f.game.score.intTimeCount;
    f.game.tmrDown_Timer();
    EXPECT_EQ(f.game.score.intTimeCount, shownBefore);
}

TEST(PhantomTest, ShownByModeAtTheRestingRow) {
    Fixture f;
    f.setFigure(kBar, 9, 0);
    f.game.C[10][20] = true;

    f.game.settings.iFantom = 0;
    f.game.UpdatePhantom();
    f.game.settings.iFantom = 1;  // only for special figures
    f.game.arrQueue[1].IsMorvast = false;
    f.game.UpdatePhantom();
    EXPECT_EQ(f.out.count("phantom"), 0);

    f.game.arrQueue[1].IsMorvast = true;
    f.game.UpdatePhantom();
    EXPECT_EQ(f.out.log.back(), "phantom 9,16");  // the bar's foot stops on row 19

    f.game.arrQueue[1].IsMorvast = false;
    f.game.settings.iFantom = 2;
    f.game.moveLeftRight(2);  // column 11 is clear to the floor
    EXPECT_EQ(f.out.log,
              (std::vector<std::string>{"phantom 9,16", "sound 1", "phantom 10,27", "drawFigure"}));
}

}  // namespace
}  // namespace morvast::test
