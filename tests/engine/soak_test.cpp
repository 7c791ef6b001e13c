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

// Counts what the soak must see and checks the top row right after every removal.
class SoakListener : public GameListener {
  public:
    const Game* game = nullptr;
    bool over = false;
    long removals = 0, landings = 0, badTopRows = 0;
    void remainChanged(const std::string&) override {
        ++removals;
        for (int x = 0; x < Game::kColumns; ++x)
            if (game->C[x][0]) ++badTopRows;
    }
    void landingBegins() override { ++landings; }
    void finishGame(int64_t) override { over = true; }
};

// Nothing outside the playing area, the falling figure inside the array and above the floor.
::testing::AssertionResult fieldIsSound(const Game& g) {
    for (int x = 0; x < Game::kColumns; ++x)
        for (int y = 0; y < Game::kRows; ++y)
            if (g.C[x][y] && (x < 4 || x > 18 || y > 30))
                return ::testing::AssertionFailure() << "landed cell at " << x << "," << y;
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y)
            if (g.Figura[x][y] && (g.bytFigY + y > 30 || g.bytFigX + x > 22))
                return ::testing::AssertionFailure()
                       << "figure cell at " << g.bytFigX + x << "," << g.bytFigY + y;
    return ::testing::AssertionSuccess();
}

// Where a figure would do least harm: the column and number of quarter turns whose resting
// cells lie lowest. Keeps the soak's games long enough to fill and remove rows.
struct Plan {
    int x = Game::kStartX;
    int turns = 0;
};

Plan planFor(const Game& g, std::mt19937& presses) {
    Plan best;
    long bestDepth = std::numeric_limits<long>::min();
    FigureCells cells = g.Figura;
    for (int turns = 0; turns < 4; ++turns) {
        for (int x = 0; x <= 18; ++x) {
            Game probe = g;
            probe.Figura = cells;
            probe.bytFigX = static_cast<uint8_t>(x);
            bool fits = true;
            for (int cx = 0; cx < 4 && fits; ++cx)
                for (int cy = 0; cy < 4; ++cy)
                    if (cells[cx][cy] && (x + cx < 4 || x + cx > 18 || g.C[x + cx][g.bytFigY + cy]))
                        fits = false;
            if (!fits) continue;
            probe.bytFigY = static_cast<uint8_t>(probe.restingRow());
            long depth = 0;
            for (int cx = 0; cx < 4; ++cx)
                for (int cy = 0; cy < 4; ++cy)
                    if (cells[cx][cy]) depth += probe.bytFigY + cy;
            // Empty cells left under the figure count heavily against a place.
            for (int cx = 0; cx < 4; ++cx) {
                int lowest = -1;
                for (int cy = 0; cy < 4; ++cy)
                    if (cells[cx][cy]) lowest = probe.bytFigY + cy;
                for (int y = lowest + 1; lowest >= 0 && y <= 30 && !g.C[x + cx][y]; ++y)
                    depth -= 8;
            }
            depth = depth * 4 + static_cast<long>(presses() % 4);
            if (depth > bestDepth) {
                bestDepth = depth;
                best = {x, turns};
            }
        }
        FigureCells turned{};
        for (int cx = 0; cx < 4; ++cx)
            for (int cy = 0; cy < 4; ++cy)
                turned[3 - cy][cx] = cells[cx][cy];
        cells = turned;
    }
    return best;
}

TEST(SoakTest, ManyGamesOfRandomPressesKeepTheRules) {
    constexpr long kTicks = 1'000'000;
    long ticks = 0, games = 0, maxLevel = 0, removals = 0, landings = 0;
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
        ++games;
        // Some games start at the last levels, so the cap is exercised too.
        if (games % 4 == 0) {
            game.score.intLevel = static_cast<int16_t>(9 + games % 8 / 4);
            game.score.intSpeed = static_cast<int16_t>(game.score.intLevel * 15);
        }
        // Random presses of the five actions, most of them steering towards a planned place so
        // that rows fill up and get removed; the rest are noise.
        int32_t lastScore = 0;
        Plan plan;
        long seenLandings = -1;
        while (!out.over && ticks < kTicks) {
            if (out.landings != seenLandings) {
                seenLandings = out.landings;
                plan = planFor(game, presses);
            }
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
                        if (plan.turns > 0) {
                            game.rotatePress();
                            --plan.turns;
                        } else if (game.bytFigX == plan.x ||
                                   !game.moveLeftRight(game.bytFigX > plan.x ? 0 : 2)) {
                            if (game.dropEnabled) game.dropPress();
                        }
                        break;
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
        landings += out.landings;
        maxLevel = std::max<long>(maxLevel, game.score.intLevel);
    }
    RecordProperty("games", static_cast<int>(games));
    RecordProperty("removals", static_cast<int>(removals));
    std::printf("%ld ticks, %ld games, %ld landings, %ld rows removed, highest level %ld\n", ticks,
                games, landings, removals, maxLevel);
    EXPECT_GT(games, 50);
    EXPECT_GT(removals, 1000);
    EXPECT_EQ(maxLevel, 10);
}

}  // namespace
}  // namespace morvast::test
