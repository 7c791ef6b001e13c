#include <gtest/gtest.h>

#include "test_support.h"

namespace morvast::test {
namespace {

using Log = std::vector<std::string>;

TEST(MoveTest, RefusedMovesAreSilentAndLeaveTheFigure) {
    Fixture f;
    f.setFigure(kBar, 3);  // the bar stands in column 4, the leftmost playing column
    EXPECT_FALSE(f.game.moveLeftRight(0));
    f.game.C[5][2] = true;  // a landed cell beside the bar
    EXPECT_FALSE(f.game.moveLeftRight(2));
    EXPECT_EQ(f.game.bytFigX, 3);
    EXPECT_TRUE(f.out.log.empty());

    f.game.C[5][2] = false;
    EXPECT_TRUE(f.game.moveLeftRight(2));
    EXPECT_EQ(f.game.bytFigX, 4);
    EXPECT_EQ(f.out.log, (Log{"sound 1", "drawFigure"}));
    f.setFigure(kBar, 17);  // column 18, the rightmost
    EXPECT_FALSE(f.game.Enable_Move_Left_Right(2));
}

TEST(RotateTest, QuarterTurnsInsideTheBoxRefusedWhereTheyDoNotFit) {
    Fixture f;
    f.setFigure(kBar, 9, 5);
    f.game.rotatePress();
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y)
            EXPECT_EQ(f.game.Figura[x][y], y == 1) << x << "," << y;
    EXPECT_EQ(f.out.log, (Log{"sound 2", "drawFigure"}));
    for (const std::string p : {"0000001001110000", kSuperFigure, "1000000000010110"}) {
        f.setFigure(p, 9, 5);
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(f.game.RotateFigure()) << p;
        EXPECT_EQ(f.game.Figura, cellsFromPattern(p)) << p;
    }

    f.out.log.clear();
    f.setFigure(kBar, 16, 5);  // the turned bar would reach column 19: refused, still sounds
    f.game.rotatePress();
    EXPECT_EQ(f.game.Figura, cellsFromPattern(kBar));
    EXPECT_EQ(f.out.log.front(), "sound 2");
    // The turned bar in columns 15 to 18 fits; standing in column 4 it would reach column 3;
    // lying, it would turn down into row 31 from box row 28 and onto the floor from row 27.
    for (auto [pattern, x, y, fits] : {std::tuple{kBar, 15, 5, true},
                                       {kBar, 3, 5, false},
                                       {"1000100010001000", 9, 28, false},
                                       {"1000100010001000", 9, 27, true}}) {
        f.setFigure(pattern, x, y);
        EXPECT_EQ(f.game.RotateFigure(), fits) << x << "," << y;
    }
    f.setFigure(kBar, 9, 5);
    f.game.C[12][6] = true;
    EXPECT_FALSE(f.game.RotateFigure());
}

TEST(InvertTest, RefusalsAndTwoInversionsRestore) {
    Fixture f;
    f.setFigure(kSquare, 9, 5);
    f.game.C[9][5] = true;  // the box's corner, where the figure has no cell
    f.game.invertPress();
    EXPECT_EQ(f.game.Figura, cellsFromPattern(kSquare));
    f.game.C[9][5] = false;
    // The box must lie wholly in columns 4 to 18 and above row 31 (the inverted square would
    // fill it), and something must be left to fall.
    for (auto [pattern, x, y] : {std::tuple{kSquare, 3, 5},
                                 {kSquare, 16, 5},
                                 {kSquare, 9, 28},
                                 {"1111111111111111", 9, 5}}) {
        f.setFigure(pattern, x, y);
        EXPECT_FALSE(f.game.CanInvert()) << x << "," << y;
    }
    EXPECT_EQ(f.out.count("sound"), 0);

    f.setFigure(kBar, 15, 27);  // box rows 27..30 in columns 15..18: fits
    const int cells = f.game.intCells;
    f.game.invertPress();
    EXPECT_EQ(f.out.log, (Log{"drawFigure", "sound 9"}));
    f.game.invertPress();
    EXPECT_EQ(f.game.Figura, cellsFromPattern(kBar));
    EXPECT_EQ(f.game.intCells, cells);

    f.out.log.clear();
    f.game.blnPlaying = false;  // paused: a click on the button does nothing
    f.game.invertPress();
    EXPECT_TRUE(f.out.log.empty());
}

TEST(PhantomTest, ShownByModeAtTheRestingRow) {
    Fixture f;
    f.setFigure(kBar, 9, 0);
    f.game.C[10][20] = true;
    f.game.settings.iFantom = 0;
    f.game.UpdatePhantom();
    f.game.settings.iFantom = 1;  // only for special figures
    f.game.UpdatePhantom();
    EXPECT_TRUE(f.out.log.empty());
    f.game.arrQueue[1].IsMorvast = true;
    f.game.UpdatePhantom();
    f.game.arrQueue[1].IsMorvast = false;
    f.game.settings.iFantom = 2;
    f.game.moveLeftRight(2);  // column 11 is clear to the floor
    // The bar's foot stops on row 19 (box at row 16), then rests on the floor (row 27).
    EXPECT_EQ(f.out.log, (Log{"phantom 916", "sound 1", "phantom 1027", "drawFigure"}));
}

}  // namespace
}  // namespace morvast::test
