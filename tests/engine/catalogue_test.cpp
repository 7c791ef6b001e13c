#include <gtest/gtest.h>

#include "test_support.h"

namespace morvast::test {
namespace {

TEST(RndTest, StartsFromTheSameFixedStateAtEveryStart) {
    Rnd a;
    EXPECT_DOUBLE_EQ(a.next(), 0.7055475115776062);
    EXPECT_DOUBLE_EQ(a.next(), 0.5334240198135376);
    for (int i = 0; i < 100000; ++i) {
        const double v = a.next();
        ASSERT_TRUE(v >= 0.0 && v < 1.0) << v;
    }
}

TEST(ChooseFigureTest, StirringThenOrdinarySpecialAndSuperFigures) {
    Fixture f;
    ScriptedRandom& rnd = f.rnd;
    Game& game = f.game;
    rnd.script = {0.3, 0.99, 0.0};  // stir, shape 6, not special
    EXPECT_EQ(game.ChooseFigure(), kSquare);
    EXPECT_FALSE(game.blnFigMorvast);

    // Special: 25 of 50 comes up; one cell of sixteen comes out filled.
    rnd.script = {0.3, 0.0, 0.5, 0.3};
    for (int i = 0; i < 16; ++i)
        rnd.script.push_back(i == 5 ? 0.8 : 0.79);
    rnd.script.push_back(0.5);  // bonus 0.5 x 20001 + 30000 = 40000.5: half to even
    EXPECT_EQ(game.ChooseFigure(), "0000010000000000");
    EXPECT_TRUE(game.blnFigMorvast);
    EXPECT_EQ(game.lngFigBonus, 40000);

    // No cell filled: the super-figure, its fixed bonus and no bonus draw.
    rnd.script = {0.3, 0.0, 0.5, 0.3};
    for (int i = 0; i < 17; ++i)
        rnd.script.push_back(0.1);
    EXPECT_EQ(game.ChooseFigure(), kSuperFigure);
    EXPECT_EQ(game.lngFigBonus, 250000);
    EXPECT_EQ(rnd.script.size(), 1u);

    // At second 7 the choice stirs 2 x 7 + 1 values and the special pattern only 7 + 1.
    f.clock.sec = 7;
    rnd.script.assign(15, 0.3);
    rnd.script.insert(rnd.script.end(), {0.0, 0.5});
    rnd.script.insert(rnd.script.end(), 8, 0.3);
    for (int i = 0; i < 16; ++i)
        rnd.script.push_back(i == 2 ? 0.8 : 0.1);
    rnd.script.push_back(0.0);  // the bonus draw: 3000 points
    EXPECT_EQ(game.ChooseFigure(), "0010000000000000");
    EXPECT_EQ(game.lngFigBonus, 30000);
    EXPECT_TRUE(rnd.script.empty());
}

TEST(QueueTest, FiguresMoveUpOnePlacePerLanding) {
    Fixture f;
    const std::string p3 = f.game.arrQueue[3].Pattern;
    f.game.arrQueue[3].Bonus = 3;  // tags, so figures can be followed whatever their shapes
    f.game.arrQueue[5].Bonus = 5;
    f.dropAndLand();
    EXPECT_EQ(f.game.NextFigura, cellsFromPattern(p3));
    f.dropAndLand();
    EXPECT_EQ(f.game.Figura, cellsFromPattern(p3));
    EXPECT_EQ(f.game.arrQueue[1].Bonus, 3);
    f.dropAndLand();
    f.dropAndLand();
    EXPECT_EQ(f.game.arrQueue[1].Bonus, 5);
}

}  // namespace
}  // namespace morvast::test
