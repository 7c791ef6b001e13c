#include <gtest/gtest.h>

#include <set>

#include "test_support.h"

namespace morvast::test {
namespace {

const std::set<std::string> kCatalogue = {
    "0000111010000000", "0000011100010000", kBar,   "0000010001100010",
    "0000001001100100", "0000001001110000", kSquare};

TEST(RndTest, StartsFromTheSameFixedStateAtEveryStart) {
    Rnd a, b;
    EXPECT_DOUBLE_EQ(a.next(), 0.7055475115776062);
    EXPECT_DOUBLE_EQ(a.next(), 0.5334240198135376);
    b.next();
    b.next();
    EXPECT_EQ(a.state(), b.state());
    for (int i = 0; i < 100000; ++i) {
        const double v = a.next();
        ASSERT_GE(v, 0.0);
        ASSERT_LT(v, 1.0);
    }
}

TEST(ChooseFigureTest, StirringDiscardsTwiceTheSecondsPlusOne) {
    for (int sec : {0, 1, 59}) {
        RecordingListener out;
        ScriptedRandom rnd;
        FixedClock clock;
        clock.sec = sec;
        Game game(out, rnd, clock);
        game.stirRandom();
        EXPECT_EQ(rnd.draws, 2 * sec + 1) << "second " << sec;
        rnd.draws = 0;
        rnd.fallback = 0.1;  // an ordinary figure: stir, shape, special test
        game.ChooseFigure();
        EXPECT_EQ(rnd.draws, 2 * sec + 3) << "second " << sec;
    }
}

TEST(ChooseFigureTest, OrdinarySpecialAndSuperFigures) {
    RecordingListener out;
    ScriptedRandom rnd;
    FixedClock clock;
    Game game(out, rnd, clock);

    rnd.script = {0.3, 0.99, 0.0};  // stir, shape 6, not special
    EXPECT_EQ(game.ChooseFigure(), kSquare);
    EXPECT_FALSE(game.blnFigMorvast);
    EXPECT_EQ(game.lngFigBonus, 0);

    // Special: the chance hits 25 of 50; one cell of sixteen comes out filled.
    rnd.script = {0.3, 0.0, 0.5, 0.3};
    for (int i = 0; i < 16; ++i)
        rnd.script.push_back(i == 5 ? 0.8 : 0.79);
    rnd.script.push_back(0.5);  // bonus 0.5 x 20001 + 30000 = 40000.5 -> 40000 (half to even)
    EXPECT_EQ(game.ChooseFigure(), "0000010000000000");
    EXPECT_TRUE(game.blnFigMorvast);
    EXPECT_EQ(game.lngFigBonus, 40000);

    // No cell filled: the super-figure, with its fixed bonus and no bonus draw.
    rnd.script = {0.3, 0.0, 0.5, 0.3};
    for (int i = 0; i < 16; ++i)
        rnd.script.push_back(0.1);
    rnd.script.push_back(0.77);
    EXPECT_EQ(game.ChooseFigure(), kSuperFigure);
    EXPECT_TRUE(game.blnFigMorvast);
    EXPECT_EQ(game.lngFigBonus, 250000);
    EXPECT_EQ(rnd.script.size(), 1u);
}

TEST(ChooseFigureTest, LongRunDealsOnlyValidFiguresWithBonusesInRange) {
    RecordingListener out;
    Rnd rnd;
    FixedClock clock;
    Game game(out, rnd, clock);
    int special = 0;
    for (int i = 0; i < 20000; ++i) {
        clock.sec = i % 60;
        const std::string p = game.ChooseFigure();
        ASSERT_EQ(p.size(), 16u);
        if (!game.blnFigMorvast) {
            ASSERT_TRUE(kCatalogue.count(p)) << p;
            ASSERT_EQ(game.lngFigBonus, 0);
            continue;
        }
        ++special;
        ASSERT_NE(p.find('1'), std::string::npos);
        if (p == kSuperFigure)
            ASSERT_EQ(game.lngFigBonus, 250000);
        else
            ASSERT_TRUE(game.lngFigBonus >= 30000 && game.lngFigBonus <= 50001) << game.lngFigBonus;
    }
    // One in fifty, give or take.
    EXPECT_GT(special, 250);
    EXPECT_LT(special, 600);
}

TEST(FigureArraysTest, CellsAreCountedAndPatternsReadColumnByColumn) {
    Fixture f;
    f.game.intCells = 0;
    FigureCells cells{};
    f.game.Initialize_Array_For_Figure(cells, kSuperFigure);
    EXPECT_EQ(f.game.intCells, 12);
    f.game.Initialize_Array_For_Figure(cells, "0000111010000000");
    EXPECT_EQ(f.game.intCells, 16);
    EXPECT_TRUE(cells[1][0] && cells[1][1] && cells[1][2] && cells[2][0]);
    EXPECT_FALSE(cells[0][0] || cells[2][1] || cells[1][3]);
}

TEST(FigureArraysTest, GameOverOnlyWhenTheFigureOverlapsLandedCells) {
    Fixture f;
    f.setFigure(kSquare);                                       // cells (10..11, 1..2)
    f.game.C[10][3] = f.game.C[9][1] = f.game.C[12][2] = true;  // touching only
    EXPECT_FALSE(f.game.GameOver());
    f.game.C[11][2] = true;
    EXPECT_TRUE(f.game.GameOver());
}

TEST(QueueTest, FiguresMoveUpOnePlacePerLanding) {
    Fixture f;
    const std::string p3 = f.game.arrQueue[3].Pattern, p4 = f.game.arrQueue[4].Pattern;
    const std::string p5 = f.game.arrQueue[5].Pattern;
    // Tag the queue so the figures can be followed whatever their shapes.
    f.game.arrQueue[3].Bonus = 3;
    f.game.arrQueue[5].Bonus = 5;
    f.game.blnDrop = true;
    f.tickUntilLanded();
    EXPECT_EQ(f.game.arrQueue[2].Bonus, 3);
    EXPECT_EQ(f.game.arrQueue[2].Pattern, p3);
    EXPECT_EQ(f.game.NextFigura, cellsFromPattern(p3));
    for (int landing = 2; landing <= 4; ++landing) {
        f.game.blnDrop = true;
        f.tickUntilLanded();
        if (landing == 2) {
            EXPECT_EQ(f.game.Figura, cellsFromPattern(p3));
        } else if (landing == 3) {
            EXPECT_EQ(f.game.Figura, cellsFromPattern(p4));
        }
    }
    EXPECT_EQ(f.game.arrQueue[1].Bonus, 5);
    EXPECT_EQ(f.game.Figura, cellsFromPattern(p5));
}

TEST(QueueTest, SameSecondDealsTheSameFiguresAndOtherSecondsDiffer) {
    auto deal = [](int sec) {
        RecordingListener out;
        Rnd rnd;
        FixedClock clock;
        clock.sec = sec;
        Game game(out, rnd, clock);
        game.newGame();
        std::string all;
        for (int i = 1; i <= 5; ++i)
            all += game.arrQueue[i].Pattern;
        for (int i = 0; i < 20; ++i)
            all += game.ChooseFigure();
        return all;
    };
    EXPECT_EQ(deal(17), deal(17));
    EXPECT_NE(deal(17), deal(18));
    EXPECT_NE(deal(0), deal(59));
}

}  // namespace
}  // namespace morvast::test
