#include <benchmark/benchmark.h>

#include "engine/field_renderer.h"
#include "engine/game.h"

namespace {

using namespace morvast;

class CountingRandom : public RandomSource {
  public:
    double next() override {
        x_ = x_ * 0.618 + 0.17;
        x_ -= static_cast<int>(x_);
        return x_;
    }

  private:
    double x_ = 0.3;
};

class NoClock : public Clock {
  public:
    int seconds() const override { return 0; }
};

struct Scene {
    explicit Scene(double dpr) {
        game.resetForNewGame();
        // The lower half of the field filled in a chequered pattern.
        for (int x = 4; x <= 18; ++x)
            for (int y = 15; y <= 30; ++y)
                game.C[x][y] = (x + y) % 3 != 0;
        game.Figura = cellsFromPattern("0000001001110000");
        game.bytFigX = 9;
        game.bytFigY = 5;
        field.setBackground(0);
        field.setGeometry(233, 433, 3760, 7760, dpr);
        next.setGeometry(77, 77, 1155, 1155, dpr);
    }
    GameListener listener;
    CountingRandom rnd;
    NoClock clock;
    Game game{listener, rnd, clock};
    PictureCanvas field, next;
    FieldRenderer renderer{game, rnd, field, next};
};

// One sideways step of the falling figure: the 6 x 5 window around it.
void BM_DrawFigure(benchmark::State& state) {
    Scene s(state.range(0) / 10.0);
    s.renderer.DrawField();
    int step = 1;
    for (auto _ : state) {
        s.game.bytFigX = static_cast<uint8_t>(s.game.bytFigX + step);
        if (s.game.bytFigX == 14 || s.game.bytFigX == 5) step = -step;
        s.renderer.DrawFigure();
        benchmark::DoNotOptimize(s.field.takeDirty());
    }
}
BENCHMARK(BM_DrawFigure)->Arg(10)->Arg(20);

// The whole field afresh, as after a landing: clear and about 320 landed cells.
void BM_DrawField(benchmark::State& state) {
    Scene s(state.range(0) / 10.0);
    for (auto _ : state) {
        s.renderer.DrawField();
        benchmark::DoNotOptimize(s.field.takeDirty());
    }
}
BENCHMARK(BM_DrawField)->Arg(10)->Arg(20);

void BM_DrawGrid(benchmark::State& state) {
    Scene s(state.range(0) / 10.0);
    for (auto _ : state) {
        s.renderer.DrawGrid();
        benchmark::DoNotOptimize(s.field.takeDirty());
    }
}
BENCHMARK(BM_DrawGrid)->Arg(10)->Arg(20);

// What a move costs besides the figure: the phantom erased and drawn again.
void BM_Phantom(benchmark::State& state) {
    Scene s(state.range(0) / 10.0);
    s.renderer.DrawField();
    for (auto _ : state) {
        const int rest = s.game.restingRow();
        s.renderer.ErasePhantom(s.game.bytFigX, rest);
        s.renderer.DrawPhantom(s.game.bytFigX, rest);
        benchmark::DoNotOptimize(s.field.takeDirty());
    }
}
BENCHMARK(BM_Phantom)->Arg(10)->Arg(20);

}  // namespace
