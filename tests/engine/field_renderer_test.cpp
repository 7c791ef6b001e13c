#include "engine/field_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <set>
#include <utility>

#include "engine/game.h"

namespace morvast {
namespace {

class ScriptedRandom : public RandomSource {
  public:
    std::deque<double> values;
    int draws = 0;
    double next() override {
        ++draws;
        const double v = values.empty() ? 0.0 : values.front();
        if (!values.empty()) values.pop_front();
        return v;
    }
};

class FixedClock : public Clock {
  public:
    int seconds() const override { return 0; }
};

const QRgb kBg = qRgb(0, 0, 0);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kCyan = qRgb(0, 255, 255);
const QRgb kDarkBlue = qRgb(0, 0, 0xC0);

// The pixel under a point in user units.
QRgb at(const PictureCanvas& c, double ux, double uy) {
    const QPointF d = c.toDevice(ux, uy);
    return c.image().pixel(static_cast<int>(std::floor(d.x())),
                           static_cast<int>(std::floor(d.y())));
}
// The first pixel inside the left edge of a square drawn from (left, top), 194 units wide.
QRgb leftEdge(const PictureCanvas& c, double left, double top) {
    const QRect r = c.toDevice(QRectF(left, top, 194, 194));
    return c.image().pixel(r.left(), r.center().y());
}
// The pixel where a line through a point in user units lies.
QRgb onLine(const PictureCanvas& c, double ux, double uy) {
    return c.image().pixel(c.toDevice(QRectF(ux, uy, 1, 1)).topLeft());
}
QRgb centre(const PictureCanvas& c, int x, int y) {
    return at(c, (x - 4) * 250 + 125, y * 250 + 125);
}
QRgb outline(const PictureCanvas& c, int x, int y) {
    return leftEdge(c, (x - 4) * 250 + 28, y * 250 + 28);
}

struct FieldSize {
    int width, height;
    double dpr;
};

// 233 x 433 is the real field; 235 x 485 gives whole pixels per unit.
class FieldDrawing : public ::testing::TestWithParam<FieldSize> {
  protected:
    void SetUp() override {
        const FieldSize s = GetParam();
        field.setGeometry(s.width, s.height, 3760, 7760, s.dpr);
        next.setGeometry(77, 77, 1155, 1155, s.dpr);
        game.resetForNewGame();
    }
    void whiteOut(int x, int y) {
        field.filledBox((x - 4) * 250, y * 250, (x - 3) * 250, (y + 1) * 250, colour::kWhite);
    }

    GameListener listener;
    ScriptedRandom rnd;
    FixedClock clock;
    Game game{listener, rnd, clock};
    PictureCanvas field, next;
    FieldRenderer renderer{game, rnd, field, next};
};

TEST_P(FieldDrawing, LandedCellsAndGridLeaveTheGapsAndFollowThePlace) {
    game.C[4][0] = game.C[5][0] = game.C[18][30] = true;
    whiteOut(6, 0);  // DrawField starts from a clear picture
    renderer.DrawField();
    for (auto [x, y] : {std::pair{4, 0}, {5, 0}, {18, 30}}) {
        EXPECT_EQ(centre(field, x, y), kDarkBlue) << x << "," << y;
        EXPECT_EQ(outline(field, x, y), kYellow) << x << "," << y;
    }
    EXPECT_EQ(centre(field, 6, 0), kBg);
    EXPECT_EQ(at(field, 250, 125), kBg);  // the gap between two landed cells
    EXPECT_EQ(at(field, 125, 5), kBg);

    renderer.bDrawSetka = false;
    const QImage before = field.image().copy();
    renderer.DrawGrid();
    EXPECT_EQ(field.image(), before);

    renderer.bDrawSetka = true;
    game.intPlace = 0;
    renderer.DrawGrid();
    EXPECT_EQ(onLine(field, 250, 3125), qRgb(200, 200, 210));
    EXPECT_EQ(outline(field, 5, 0), kYellow);  // the lines run outside the squares
    game.intPlace = 1;
    renderer.DrawGrid();
    EXPECT_EQ(onLine(field, 1625, 2500), qRgb(150, 175, 175));
}

TEST_P(FieldDrawing, FigureStepsEraseWhatTheyLeftButNotLandedCells) {
    game.Figura = cellsFromPattern("0000111100000000");  // bar of four in box column 1
    game.bytFigX = 8;
    game.bytFigY = 5;
    renderer.DrawFigure();
    game.C[9][7] = true;
    field.box(5 * 250 + 28, 7 * 250 + 28, 5 * 250 + 222, 7 * 250 + 222, colour::kYellow);
    game.bytFigX = 9;  // one step right
    field.takeDirty();
    renderer.DrawFigure();
    for (int y = 5; y < 9; ++y) {
        EXPECT_EQ(outline(field, 10, y), kCyan) << y;
        EXPECT_EQ(centre(field, 10, y), kDarkBlue) << y;
    }
    EXPECT_EQ(centre(field, 9, 5), kBg);
    EXPECT_EQ(outline(field, 9, 7), kYellow);
    // Only the 6 x 5 window around the box is repainted.
    const QRect window = field.toDevice(QRectF(4 * 250, 4 * 250, 6 * 250, 5 * 250));
    EXPECT_TRUE(window.contains(field.takeDirty()));

    // A step left from a box whose right column is filled leaves the window's last column.
    game.Figura = cellsFromPattern("0000000000001111");
    renderer.DrawFigure();
    game.bytFigX = 8;
    renderer.DrawFigure();
    EXPECT_EQ(centre(field, 12, 6), kBg);
    EXPECT_EQ(outline(field, 11, 6), kCyan);

    // In the top row the window starts at row 0, so it reaches row 4.
    game.bytFigY = 0;
    whiteOut(11, 4);
    whiteOut(11, 5);
    renderer.DrawFigure();
    EXPECT_EQ(centre(field, 11, 4), kBg);
    EXPECT_EQ(centre(field, 11, 5), qRgb(255, 255, 255));

    // A box reaching into the margins must not take the window past the field array.
    game.Figura = cellsFromPattern("1111000000000000");
    for (int figX : {0, 1, 18, 19, 20})
        for (int figY : {0, 30, 31}) {
            game.bytFigX = static_cast<uint8_t>(figX);
            game.bytFigY = static_cast<uint8_t>(figY);
            renderer.DrawFigure();
            renderer.ErasePhantom(figX, figY);
        }
    game.bytFigX = 18;
    game.bytFigY = 27;
    renderer.DrawFigure();
    EXPECT_EQ(outline(field, 18, 30), kCyan);
}

TEST_P(FieldDrawing, PhantomCoversTheFigureAtItsRestingRowInTwoBoundedColours) {
    game.Figura = cellsFromPattern("0000010001100010");  // Z lying flat
    game.bytFigX = 9;
    game.bytFigY = 2;
    game.C[10][25] = true;  // the Z's left foot rests on it
    renderer.DrawField();
    const int rest = game.restingRow();
    ASSERT_EQ(rest, 23);
    // Halves go to the even neighbour: 252.5 -> 252.
    rnd.values = {0.5, 0.0, 0.75, 0.5, 0.25, 0.0};
    renderer.ErasePhantom(game.bytFigX, rest);
    renderer.DrawPhantom(game.bytFigX, rest);
    EXPECT_EQ(rnd.draws, 6);

    std::set<std::pair<int, int>> cells;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (game.Figura[c][r]) cells.insert({game.bytFigX + c, rest + r});
    for (int x = 4; x <= 18; ++x)
        for (int y = 0; y <= 30; ++y) {
            const bool phantom = cells.count({x, y}) > 0;
            EXPECT_EQ(centre(field, x, y) == qRgb(78, 100, 141), phantom) << x << "," << y;
            if (phantom) {
                EXPECT_EQ(at(field, (x - 4) * 250 + 37, y * 250 + 125), qRgb(252, 214, 200));
            }
        }

    // The next position: the old box is restored, landed cell included; channels stop at 255.
    rnd.values = {1.0, 1.0, 1.0, 0.75, 0.0, 0.0};
    game.bytFigX = 12;
    renderer.ErasePhantom(game.bytFigX, game.restingRow());
    renderer.DrawPhantom(game.bytFigX, game.restingRow());
    for (const auto& [x, y] : cells)
        EXPECT_EQ(centre(field, x, y), kBg) << x << "," << y;
    EXPECT_EQ(outline(field, 10, 25), kYellow);
    EXPECT_EQ(centre(field, 13, 29), qRgb(105, 155, 155));
    EXPECT_EQ(at(field, 9 * 250 + 37, 29 * 250 + 125), qRgb(255, 200, 200));
}

TEST_P(FieldDrawing, NextFigureColoursFollowTheAnnouncement) {
    auto show = [&](const std::string& pattern, bool special, int32_t bonus) {
        game.score.announceNextFigure(pattern, special, bonus);
        game.NextFigura = cellsFromPattern(pattern);
        renderer.DrawNext();
        int filled = 0;  // cells whose inside shows the fill colour, checked against the pattern
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 4; ++y) {
                const QRgb inside = at(next, x * 250 + 155, y * 250 + 155);
                EXPECT_EQ(inside != kBg, pattern[4 * x + y] == '1') << pattern << " " << x << y;
                filled += inside == (special ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
            }
        return filled;
    };
    EXPECT_EQ(show("0000011001100000", false, 0), 4);
    EXPECT_EQ(leftEdge(next, 250 + 58, 250 + 58), kYellow);
    EXPECT_EQ(at(next, 20, 20), kBg);  // the box stands 30 units in
    EXPECT_EQ(show("1000000000010001", true, 40000), 3);
    EXPECT_EQ(leftEdge(next, 58, 58), kYellow);  // a special figure keeps the outline colour
    EXPECT_EQ(show(kSuperFigure, true, 250000), 12);
    EXPECT_EQ(leftEdge(next, 750 + 58, 750 + 58), qRgb(255, 255, 255));
}

INSTANTIATE_TEST_SUITE_P(Ratios, FieldDrawing,
                         ::testing::Values(FieldSize{235, 485, 1.0}, FieldSize{233, 433, 1.0},
                                           FieldSize{235, 485, 2.0}, FieldSize{233, 433, 2.0},
                                           FieldSize{233, 433, 1.5}));

TEST(FutureDrawing, ThreeBoxesOfSixteenOutlinesOnBlack) {
    GameListener listener;
    ScriptedRandom rnd;
    FixedClock clock;
    Game game{listener, rnd, clock};
    game.arrQueue[3].Pattern = "0000111100000000";
    game.arrQueue[4].Pattern = kSuperFigure;
    game.arrQueue[5].Pattern = "1000000000000001";
    for (double dpr : {1.0, 2.0}) {
        PictureCanvas future;
        future.setFillTransparent(true);
        future.setGeometry(101, 256, 1515, 3840, dpr);
        DrawFuture(game, future);
        for (int q = 3; q <= 5; ++q)
            for (int k = 0; k < 16; ++k) {
                const double left = (k / 4 + 1) * 250 + 28,
                             top = (q - 3) * 1200 + (k % 4 + 1) * 250 + 28;
                EXPECT_EQ(leftEdge(future, left, top),
                          game.arrQueue[q].Pattern[k] == '1' ? kYellow : qRgb(120, 120, 120))
                    << "place " << q << " cell " << k << " ratio " << dpr;
                EXPECT_EQ(at(future, left + 97, top + 97), kBg);
            }
    }
}

}  // namespace
}  // namespace morvast
