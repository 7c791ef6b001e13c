#include <gtest/gtest.h>

#include <random>
#include <set>

#include "test_support.h"

namespace morvast::test {
namespace {

// Counts landings and removed rows.
struct SoakListener : GameListener {
    bool over = false;
    long removals = 0, landings = 0;
    void remainChanged(const std::string&) override { ++removals; }
    void landingBegins() override { ++landings; }
    void finishGame(int64_t) override { over = true; }
};

// Nothing landed outside the playing area, no figure cell below the floor or off the array.
::testing::AssertionResult fieldIsSound(const Game& g) {
    for (int x = 0; x < Game::kColumns; ++x)
        for (int y = 0; y < Game::kRows; ++y)
            if (g.C[x][y] && (x < 4 || x > 18 || y > 30))
                return ::testing::AssertionFailure() << "landed cell at " << x << "," << y;
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y)
            if (g.Figura[x][y] && (g.bytFigY + y > 30 || g.bytFigX + x > 22))
                return ::testing::AssertionFailure() << "figure cell " << x << "," << y;
    return ::testing::AssertionSuccess();
}

// The newest figure of the queue is one of the seven shapes without a bonus, or a special
// figure: some cells of sixteen and a bonus of 3000 to 5000 points, or the super-figure's 25000.
::testing::AssertionResult dealtIsValid(const tFigure& f) {
    static const std::set<std::string> catalogue = {
        "0000111010000000", "0000011100010000", kBar,   "0000010001100010",
        "0000001001100100", "0000001001110000", kSquare};
    const bool valid = !f.IsMorvast ? catalogue.count(f.Pattern) && f.Bonus == 0
                       : f.Pattern == kSuperFigure
                           ? f.Bonus == 250000
                           : f.Pattern.size() == 16 && f.Pattern.find('1') != std::string::npos &&
                                 f.Bonus >= 30000 && f.Bonus <= 50001;
    return valid ? ::testing::AssertionSuccess()
                 : ::testing::AssertionFailure() << f.Pattern << " bonus " << f.Bonus;
}

// The column and quarter turns whose cells come to rest lowest, so that the soak's games fill
// and remove rows rather than only stack in the middle.
std::pair<int, int> planFor(const Game& g, std::mt19937& presses) {
    std::pair<int, int> best{Game::kStartX, 0};
    long bestValue = -1;
    Game probe = g;
    for (int turns = 0; turns < 4; ++turns, probe.bytFigX = Game::kStartX, probe.RotateFigure())
        for (int x = 0; x <= 18; ++x) {
            probe.bytFigX = static_cast<uint8_t>(x);
            if (!probe.Enable_Move_Left_Right(1)) continue;  // this very position fits
            const long value = 4 * probe.restingRow() + static_cast<long>(presses() % 4);
            if (value > bestValue) bestValue = value, best = {x, turns};
        }
    return best;
}

TEST(SoakTest, ManyGamesOfRandomPressesKeepTheRules) {
    constexpr long kTicks = 1'000'000;
    long ticks = 0, games = 0, maxLevel = 0, removals = 0, dealt = 0, special = 0;
    std::mt19937 presses(20261206);
    while (ticks < kTicks) {
        SoakListener out;
        Rnd rnd;
        FixedClock clock;
        clock.sec = static_cast<int>(games % 60);
        Game game(out, rnd, clock);
        game.settings.iFantom = static_cast<uint8_t>(games % 3);
        game.settings.SpeedChange = static_cast<int16_t>((games % 5) * 100);
        game.newGame();
        if (++games % 4 == 0) {  // some games start at the last levels, to reach the cap
            game.score.intLevel = static_cast<int16_t>(9 + games % 8 / 4);
            game.score.intSpeed = static_cast<int16_t>(game.score.intLevel * 15);
        }
        std::pair<int, int> plan;
        long seenLandings = -1;
        while (!out.over && ticks < kTicks) {
            if (out.landings != seenLandings) {
                seenLandings = out.landings;
                plan = planFor(game, presses);
                ASSERT_TRUE(dealtIsValid(game.arrQueue[5]));
                ++dealt;
                special += game.arrQueue[5].IsMorvast;
            }
            // Presses of all five actions; most steer towards the plan, a few are noise.
            const auto press = presses() % 600;
            if (press == 0) {
                game.rotatePress();
            } else if (press == 1) {
                game.invertPress();
            } else if (press == 2) {
                game.moveLeftRight(presses() % 2 ? 0 : 2);
            } else if (press == 3 && game.dropEnabled) {
                game.dropPress();
            } else if (press % 3 == 0 && plan.second > 0) {
                game.rotatePress();
                --plan.second;
            } else if (press % 3 == 0 && (game.bytFigX == plan.first ||
                                          !game.moveLeftRight(game.bytFigX > plan.first ? 0 : 2))) {
                if (game.dropEnabled) game.dropPress();
            }
            game.tmrDown_Timer();
            ++ticks;
            ASSERT_TRUE(fieldIsSound(game)) << "game " << games << " tick " << ticks;
        }
        removals += out.removals;
        maxLevel = std::max<long>(maxLevel, game.score.intLevel);
    }
    std::printf(
        "%ld ticks, %ld games, %ld rows removed, highest level %ld, %ld of %ld figures "
        "special\n",
        ticks, games, removals, maxLevel, special, dealt);
    // One in fifty, give or take; the run is the same every time.
    EXPECT_GT(special * 100, dealt);
    EXPECT_LT(special * 40, dealt);
    EXPECT_GT(removals, 500);
    EXPECT_EQ(maxLevel, 10);
}

}  // namespace
}  // namespace morvast::test
