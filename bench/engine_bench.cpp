// Costs of the falling tick: a quiet tick, a fall step, a landing that removes four rows, and a
// whole game of random presses.
#include <benchmark/benchmark.h>

#include <random>

#include "engine/game.h"

namespace {

using namespace morvast;

class FixedClock : public Clock {
  public:
    int seconds() const override { return 30; }
};

struct Bench {
    GameListener out;
    Rnd rnd;
    FixedClock clock;
    Game game{out, rnd, clock};
    Bench() { game.newGame(); }
};

void BM_QuietTick(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        b.game.intTick = 0;
        b.game.tmrDown_Timer();
    }
}
BENCHMARK(BM_QuietTick);

void BM_FallStep(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        b.game.bytFigY = 5;
        b.game.intTick = 200;
        b.game.tmrDown_Timer();
        benchmark::DoNotOptimize(b.game.bytFigY);
    }
}
BENCHMARK(BM_FallStep);

void BM_LandingRemovesFourRows(benchmark::State& state) {
    Bench b;
    const auto bar = cellsFromPattern("0000111100000000");
    for (auto _ : state) {
        state.PauseTiming();
        b.game.newGame();
        for (int y = 27; y <= 30; ++y)
            for (int x = 4; x <= 18; ++x)
                b.game.C[x][y] = x != 10;
        b.game.Figura = bar;
        b.game.bytFigX = 9;
        b.game.bytFigY = 27;
        b.game.intTick = 200;
        state.ResumeTiming();
        b.game.tmrDown_Timer();
    }
}
BENCHMARK(BM_LandingRemovesFourRows);

void BM_WholeGameOfRandomPresses(benchmark::State& state) {
    std::mt19937 presses(7);
    long ticks = 0;
    for (auto _ : state) {
        struct Over : GameListener {
            bool over = false;
            void finishGame(int64_t) override { over = true; }
        } out;
        Rnd rnd;
        FixedClock clock;
        Game game(out, rnd, clock);
        game.newGame();
        while (!out.over) {
            switch (presses() % 40) {
                case 0:
                    game.moveLeftRight(0);
                    break;
                case 1:
                    game.moveLeftRight(2);
                    break;
                case 2:
                    game.rotatePress();
                    break;
                case 3:
                    game.invertPress();
                    break;
                case 4:
                    if (game.dropEnabled) game.dropPress();
                    break;
                default:
                    break;
            }
            game.tmrDown_Timer();
            ++ticks;
        }
    }
    state.counters["ticks/game"] =
        benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WholeGameOfRandomPresses);

}  // namespace
