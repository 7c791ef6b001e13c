#include <benchmark/benchmark.h>

#include "engine/field_renderer.h"
#include "engine/game.h"

namespace {

using namespace morvast;

struct NoRandom : RandomSource {
    double next() override { return 0.5; }
};
struct NoClock : Clock {
    int seconds() const override { return 0; }
};

// The real field at the ratio given in tenths, its lower half landed in a chequered pattern.
struct Scene {
    explicit Scene(const benchmark::State& state) {
        game.resetForNewGame();
        for (int x = 4; x <= 18; ++x)
            for (int y = 15; y <= 30; ++y)
                game.C[x][y] = (x + y) % 3 != 0;
        game.Figura = cellsFromPattern("0000001001110000");
        game.bytFigX = 9;
        game.bytFigY = 5;
        field.setGeometry(233, 433, 3760, 7760, state.range(0) / 10.0);
    }
    GameListener listener;
    NoRandom rnd;
    NoClock clock;
    Game game{listener, rnd, clock};
    PictureCanvas field, next;  // the next figure's picture is not drawn here
    FieldRenderer renderer{game, rnd, field, next};
};

// One sideways step of the falling figure: the 6 x 5 window around it.
void BM_DrawFigure(benchmark::State& state) {
    Scene s(state);
    s.renderer.DrawField();
    for (auto _ : state) {
        s.game.bytFigX ^= 1;  // 9, 8, 9, ...
        s.renderer.DrawFigure();
        benchmark::DoNotOptimize(s.field.takeDirty());
    }
}
BENCHMARK(BM_DrawFigure)->Arg(10)->Arg(20);

// The whole field afresh, as after a landing: clear and about 160 landed cells.
void BM_DrawField(benchmark::State& state) {
    Scene s(state);
    for (auto _ : state) {
        s.renderer.DrawField();
        benchmark::DoNotOptimize(s.field.takeDirty());
    }
}
BENCHMARK(BM_DrawField)->Arg(10)->Arg(20);

}  // namespace
