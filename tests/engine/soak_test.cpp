#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "test_support.h"

namespace morvast::test {
namespace {

class SeededRandom : public RandomSource {
  public:
    explicit SeededRandom(uint64_t seed) : gen_(seed) {}
    double next() override { return std::uniform_real_distribution<double>(0.0, 1.0)(gen_); }

  private:
    std::mt19937_64 gen_;
};

// Counts landings and removals, and checks the top row right after every removal.
struct SoakListener : GameListener {
    const Game* game = nullptr;
    bool over = false;
    long removals = 0, landings = 0, badTopRows = 0;
    void remainChanged(const std::string&) override {
        ++removals;
        for (int x = 0; x < Game::kColumns; ++x)
            badTopRows += game->C[x][0];
    }
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

// The column and quarter turns whose resting cells lie lowest with the fewest holes under
// them, so that the soak's games fill and remove rows rather than only stack in the middle.
std::pair<int, int> planFor(const Game& g, std::mt19937& presses) {
    std::pair<int, int> best{Game::kStartX, 0};
    long bestValue = std::numeric_limits<long>::min();
    Game probe = g;
    for (int turns = 0; turns < 4; ++turns) {
        for (int x = 0; x <= 18; ++x) {
            probe.bytFigX = static_cast<uint8_t>(x);
            probe.bytFigY = g.bytFigY;
            if (!probe.Enable_Move_Left_Right(1)) continue;  // this very position fits
            probe.bytFigY = static_cast<uint8_t>(probe.restingRow());
            long value = static_cast<long>(presses() % 4);
            for (int cx = 0; cx < 4; ++cx) {
                int lowest = -1;
                for (int cy = 0; cy < 4; ++cy)
                    if (probe.Figura[cx][cy]) value += 4 * (lowest = probe.bytFigY + cy);
                for (int y = lowest + 1; lowest >= 0 && y <= 30 && !g.C[x + cx][y]; ++y)
                    value -= 32;
            }
            if (value > bestValue) bestValue = value, best = {x, turns};
        }
        const FigureCells cells = probe.Figura;  // a quarter turn wherever the box stands
        for (int cx = 0; cx < 4; ++cx)
            for (int cy = 0; cy < 4; ++cy)
                probe.Figura[3 - cy][cx] = cells[cx][cy];
    }
    return best;
}

TEST(SoakTest, ManyGamesOfRandomPressesKeepTheRules) {
    constexpr long kTicks = 1'000'000;
    long ticks = 0, games = 0, maxLevel = 0, removals = 0;
    std::mt19937 presses(20261206);
    while (ticks < kTicks) {
        SoakListener out;
        SeededRandom rnd(1000 + static_cast<uint64_t>(games));
        FixedClock clock;
        clock.sec = static_cast<int>(games % 60);
        Game game(out, rnd, clock);
        out.game = &game;
        game.settings.iFantom = static_cast<uint8_t>(games % 3);
        game.settings.SpeedChange = static_cast<int16_t>((games % 5) * 100);
        game.newGame();
        if (++games % 4 == 0) {  // some games start at the last levels, to reach the cap
            game.score.intLevel = static_cast<int16_t>(9 + games % 8 / 4);
            game.score.intSpeed = static_cast<int16_t>(game.score.intLevel * 15);
        }
        int32_t lastScore = 0;
        std::pair<int, int> plan;
        long seenLandings = -1;
        while (!out.over && ticks < kTicks) {
            if (out.landings != seenLandings) {
                seenLandings = out.landings;
                plan = planFor(game, presses);
            }
            // Presses of all five actions; most steer towards the plan, a few are noise.
            if (presses() % 3 == 0) {
                switch (presses() % 200) {
                    case 0:
                        game.rotatePress();
                        break;
                    case 1:
                        game.invertPress();
                        break;
                    case 2:
                        game.moveLeftRight(presses() % 2 ? 0 : 2);
                        break;
                    case 3:
                        if (game.dropEnabled) game.dropPress();
                        break;
                    default:
                        if (plan.second > 0) {
                            game.rotatePress();
                            --plan.second;
                        } else if (game.bytFigX == plan.first ||
                                   !game.moveLeftRight(game.bytFigX > plan.first ? 0 : 2)) {
                            if (game.dropEnabled) game.dropPress();
                        }
                }
            }
            game.tmrDown_Timer();
            ++ticks;
            ASSERT_TRUE(fieldIsSound(game)) << "game " << games << " tick " << ticks;
            ASSERT_GE(game.score.lngScore, lastScore);
            lastScore = game.score.lngScore;
            ASSERT_LE(game.score.intLevel, 10);
        }
        ASSERT_EQ(out.badTopRows, 0) << "game " << games;
        removals += out.removals;
        maxLevel = std::max<long>(maxLevel, game.score.intLevel);
    }
    std::printf("%ld ticks, %ld games, %ld rows removed, highest level %ld\n", ticks, games,
                removals, maxLevel);
    EXPECT_GT(removals, 1000);
    EXPECT_EQ(maxLevel, 10);
}

}  // namespace
}  // namespace morvast::test
