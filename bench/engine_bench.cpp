// Costs of the falling tick: a quiet tick, a fall step, a landing that removes four rows, and a
// whole game of random presses.
#include <benchmark/benchmark.h>

#include <random>

#include "engine/game.h"

namespace {

using namespace morvast;

struct Bench : GameListener, Clock {
    bool over = false;
    Rnd rnd;
    Game game{*this, rnd, *this};
    Bench() { game.newGame(); }
    int seconds() const override { return 30; }
    void finishGame(int64_t) override { over = true; }
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
    }
}
BENCHMARK(BM_FallStep);

void BM_LandingRemovesFourRows(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        state.PauseTiming();
        b.game.newGame();
        for (int y = 27; y <= 30; ++y)
            for (int x = 4; x <= 18; ++x)
                b.game.C[x][y] = x != 10;
        b.game.Figura = cellsFromPattern("0000111100000000");
        b.game.bytFigY = 27;
        b.game.intTick = 200;
        state.ResumeTiming();
        b.game.tmrDown_Timer();
    }
}
BENCHMARK(BM_LandingRemovesFourRows);

void BM_WholeGameOfRandomPresses(benchmark::State& state) {
    std::mt19937 presses(7);
    for (auto _ : state) {
        Bench b;
        while (!b.over) {
            switch (presses() % 40) {
                case 0:
                    b.game.moveLeftRight(0);
                    break;
                case 1:
                    b.game.moveLeftRight(2);
                    break;
                case 2:
                    b.game.rotatePress();
                    break;
                case 3:
                    b.game.invertPress();
                    break;
                case 4:
                    if (b.game.dropEnabled) b.game.dropPress();
                    break;
            }
            b.game.tmrDown_Timer();
        }
    }
}
BENCHMARK(BM_WholeGameOfRandomPresses);

}  // namespace
