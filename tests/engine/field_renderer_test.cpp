#include "engine/field_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <set>
#include <utility>

#include "engine/game.h"
#include "scoring/events.h"

namespace morvast {
namespace {

class ScriptedRandom : public RandomSource {
  public:
    std::deque<double> values;
    int draws = 0;
    double next() override {
        ++draws;
        if (values.empty()) return 0.0;
        const double v = values.front();
        values.pop_front();
        return v;
    }
};

class FixedClock : public Clock {
  public:
    int seconds() const override { return 0; }
};

constexpr QRgb kBg = 0xFF000000;
const QRgb kYellowPx = qRgb(255, 255, 0);
const QRgb kCyanPx = qRgb(0, 255, 255);
const QRgb kDarkBluePx = qRgb(0, 0, 0xC0);

// The pixel under a point given in user units.
QRgb at(const PictureCanvas& c, double ux, double uy) {
    const QPointF d = c.toDevice(ux, uy);
    return c.image().pixel(static_cast<int>(std::floor(d.x())),
                           static_cast<int>(std::floor(d.y())));
}

double cellLeft(int x) {
    return (x - 4) * 250.0;
}
double cellTop(int y) {
    return y * 250.0;
}
QRgb cellCentre(const PictureCanvas& c, int x, int y) {
    return at(c, cellLeft(x) + 125, cellTop(y) + 125);
}
// The pixel just inside the left edge of a cell's inset square.
QRgb cellOutline(const PictureCanvas& c, int x, int y) {
    const QRect r = c.toDevice(QRectF(cellLeft(x) + 28, cellTop(y) + 28, 194, 194));
    return c.image().pixel(r.left(), r.center().y());
}

struct FieldSize {
    int width, height;
    double dpr;
};

// The real field picture is 233 x 433 logical pixels; 235 x 485 gives whole pixels per unit.
class FieldDrawing : public ::testing::TestWithParam<FieldSize> {
  protected:
    void SetUp() override {
        const FieldSize s = GetParam();
        field.setBackground(colour::kBlack);
        field.setGeometry(s.width, s.height, 3760, 7760, s.dpr);
        next.setGeometry(77, 77, 1155, 1155, s.dpr);
        game.resetForNewGame();
    }

    GameListener listener;
    ScriptedRandom rnd;
    FixedClock clock;
    Game game{listener, rnd, clock};
    PictureCanvas field, next;
    FieldRenderer renderer{game, rnd, field, next};
};

TEST_P(FieldDrawing, ImageIsInDevicePixels) {
    const FieldSize s = GetParam();
    EXPECT_EQ(field.image().width(), std::lround(s.width * s.dpr));
    EXPECT_EQ(field.image().height(), std::lround(s.height * s.dpr));
    EXPECT_DOUBLE_EQ(field.image().devicePixelRatio(), s.dpr);
}

TEST_P(FieldDrawing, LandedCellsAreYellowBoxesWithTheFillInsideAndGapsStayBackground) {
    game.C[4][0] = game.C[5][0] = game.C[18][30] = game.C[10][15] = true;
    field.filledBox(0, 0, 3760, 7760, colour::kWhite);  // anything DrawField must clear
    renderer.DrawField();

    for (auto [x, y] : {std::pair{4, 0}, {5, 0}, {18, 30}, {10, 15}}) {
        EXPECT_EQ(cellCentre(field, x, y), kDarkBluePx) << x << "," << y;
        EXPECT_EQ(cellOutline(field, x, y), kYellowPx) << x << "," << y;
    }
    EXPECT_EQ(cellCentre(field, 6, 0), kBg);
    EXPECT_EQ(cellCentre(field, 10, 16), kBg);
    // The 56-unit gap between two neighbouring cells and above the first row.
    EXPECT_EQ(at(field, 250, 125), kBg);
    EXPECT_EQ(at(field, 125, 5), kBg);
    EXPECT_EQ(at(field, 2, 125), kBg);
}

TEST_P(FieldDrawing, GridColourFollowsThePlaceAndLeavesCellsAlone) {
    game.C[10][15] = true;
    renderer.DrawField();
    const QImage before = field.image().copy();
    renderer.bDrawSetka = false;
    renderer.DrawGrid();
    EXPECT_EQ(field.image(), before);

    renderer.bDrawSetka = true;
    game.intPlace = 0;
    renderer.DrawGrid();
    const QRect line = field.toDevice(QRectF(1500, 0, 1, 1));
    EXPECT_EQ(field.image().pixel(line.left(), field.toDevice(QRectF(0, 3000, 1, 1)).top()),
              qRgb(200, 200, 210));
    EXPECT_EQ(cellCentre(field, 10, 15), kDarkBluePx);
    EXPECT_EQ(cellOutline(field, 10, 15), kYellowPx);
    EXPECT_EQ(cellCentre(field, 11, 15), kBg);

    game.intPlace = 1;
    renderer.DrawGrid();
    const QRect row = field.toDevice(QRectF(0, 2500, 1, 1));
    EXPECT_EQ(field.image().pixel(field.toDevice(QRectF(1625, 0, 1, 1)).left(), row.top()),
              qRgb(150, 175, 175));
}

TEST_P(FieldDrawing, FigureMovedRightErasesItsOldColumnButNotALandedCell) {
    game.Figura = cellsFromPattern("0000111100000000");  // bar of four in box column 1
    game.bytFigX = 8;
    game.bytFigY = 5;
    renderer.DrawField();
    renderer.DrawFigure();
    for (int y = 5; y < 9; ++y)
        EXPECT_EQ(cellOutline(field, 9, y), kCyanPx);

    game.C[9][7] = true;  // landed under the old image, as a real landing could not do
    field.box(cellLeft(9) + 28, cellTop(7) + 28, cellLeft(9) + 222, cellTop(7) + 222,
              colour::kYellow);
    game.bytFigX = 9;
    renderer.DrawFigure();
    for (int y = 5; y < 9; ++y) {
        EXPECT_EQ(cellOutline(field, 10, y), kCyanPx) << y;
        EXPECT_EQ(cellCentre(field, 10, y), kDarkBluePx) << y;
    }
    EXPECT_EQ(cellCentre(field, 9, 5), kBg);
    EXPECT_EQ(cellCentre(field, 9, 8), kBg);
    EXPECT_EQ(cellOutline(field, 9, 7), kYellowPx);

    // Moving left from a box whose right column is filled leaves the window's last column.
    game.Figura = cellsFromPattern("0000000000001111");
    game.bytFigX = 9;
    renderer.DrawField();
    renderer.DrawFigure();
    ASSERT_EQ(cellOutline(field, 12, 6), kCyanPx);
    game.bytFigX = 8;
    renderer.DrawFigure();
    EXPECT_EQ(cellCentre(field, 12, 6), kBg);
    EXPECT_EQ(cellOutline(field, 11, 6), kCyanPx);
}

TEST_P(FieldDrawing, FigureInTheTopRowRedrawsRowsZeroToFour) {
    game.Figura = cellsFromPattern("0000111100000000");
    game.bytFigX = 9;
    game.bytFigY = 0;
    for (int y = 0; y <= 5; ++y)
        field.filledBox(cellLeft(9), cellTop(y), cellLeft(9) + 250, cellTop(y) + 250,
                        colour::kWhite);
    renderer.DrawFigure();
    EXPECT_EQ(cellCentre(field, 9, 4), kBg);  // the window starts at row 0, so row 4 is in it
    EXPECT_EQ(cellCentre(field, 9, 5), qRgb(255, 255, 255));
    EXPECT_EQ(cellOutline(field, 10, 0), kCyanPx);
}

TEST_P(FieldDrawing, FigureAtTheEdgesOfTheArrayStaysInsideIt) {
    // A special figure may sit with its box partly in the margins; the window around it must
    // not read the field past its bounds (the sanitizer build catches a stray read).
    game.Figura = cellsFromPattern("1111000000000000");
    game.C[22][34] = game.C[0][0] = true;
    for (int figX : {0, 1, 18, 19, 20}) {
        for (int figY : {0, 30, 31}) {
            game.bytFigX = static_cast<uint8_t>(figX);
            game.bytFigY = static_cast<uint8_t>(figY);
            renderer.DrawFigure();
        }
    }
    game.bytFigX = 18;
    game.bytFigY = 27;
    renderer.DrawFigure();
    for (int y = 27; y < 31; ++y)
        EXPECT_EQ(cellOutline(field, 18, y), kCyanPx);
}

TEST_P(FieldDrawing, FigureRedrawTouchesOnlyTheWindowAroundIt) {
    game.Figura = cellsFromPattern("0000011001100000");
    game.bytFigX = 9;
    game.bytFigY = 10;
    renderer.DrawField();
    field.takeDirty();
    renderer.DrawFigure();
    const QRect window = field.toDevice(QRectF(cellLeft(8), cellTop(9), 6 * 250, 5 * 250));
    const QRect dirty = field.takeDirty();
    EXPECT_FALSE(dirty.isEmpty());
    EXPECT_TRUE(window.contains(dirty))
        << dirty.x() << "," << dirty.y() << " " << dirty.width() << "x" << dirty.height();
    EXPECT_TRUE(field.takeDirty().isEmpty());
}

TEST_P(FieldDrawing, PhantomCoversTheFigureAtItsRestingRowInTwoBoundedColours) {
    game.Figura = cellsFromPattern("0000010001100010");  // Z lying flat
    game.bytFigX = 9;
    game.bytFigY = 2;
    game.C[10][25] = true;  // the Z's left foot comes to rest on it
    renderer.DrawField();
    const int rest = game.restingRow();
    ASSERT_EQ(rest, 23);

    // Halves go to the even neighbour (252.5 -> 252) and channels stop at 255.
    rnd.values = {0.5, 0.0, 0.75, 0.5, 0.25, 0.0};
    rnd.draws = 0;
    renderer.ErasePhantom(game.bytFigX, rest);
    renderer.DrawPhantom(game.bytFigX, rest);
    EXPECT_EQ(rnd.draws, 6);
    const QRgb inner = qRgb(78, 100, 141);
    const QRgb outer = qRgb(252, 214, 200);

    std::set<std::pair<int, int>> cells;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (game.Figura[c][r]) cells.insert({game.bytFigX + c, rest + r});
    for (int x = 4; x <= 18; ++x)
        for (int y = 0; y <= 30; ++y) {
            const bool phantom = cells.count({x, y}) > 0;
            EXPECT_EQ(cellCentre(field, x, y) == inner, phantom) << x << "," << y;
            if (phantom) {
                EXPECT_EQ(at(field, cellLeft(x) + 37, cellTop(y) + 125), outer);
            }
        }
    EXPECT_EQ(cellOutline(field, 10, 25), kYellowPx);

    // Moving on: the old box is restored (landed cell included), the outer colour is capped.
    rnd.values = {1.0, 1.0, 1.0, 0.75, 0.0, 0.0};
    game.bytFigX = 12;
    const int rest2 = game.restingRow();
    renderer.ErasePhantom(game.bytFigX, rest2);
    renderer.DrawPhantom(game.bytFigX, rest2);
    EXPECT_EQ(renderer.phantomX(), 12);
    EXPECT_EQ(renderer.phantomY(), rest2);
    ASSERT_EQ(rest2, 28);
    for (const auto& [x, y] : cells) {
        EXPECT_EQ(cellCentre(field, x, y), kBg) << x << "," << y;
    }
    EXPECT_EQ(cellOutline(field, 10, 25), kYellowPx);
    EXPECT_EQ(at(field, cellLeft(13) + 37, cellTop(rest2 + 1) + 125), qRgb(255, 200, 200));
    EXPECT_EQ(cellCentre(field, 13, rest2 + 1), qRgb(105, 155, 155));
}

TEST_P(FieldDrawing, NextFigureColoursFollowTheAnnouncement) {
    auto count = [&](QRgb fill) {
        int n = 0;
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 4; ++y)
                n += at(next, x * 250 + 155, y * 250 + 155) == fill;
        return n;
    };
    auto outlineOf = [&](int x, int y) {
        const QRect r = next.toDevice(QRectF(x * 250 + 58, y * 250 + 58, 194, 194));
        return next.image().pixel(r.left(), r.center().y());
    };

    const std::string square = "0000011001100000";
    game.score.announceNextFigure(square, false, 0);
    game.NextFigura = cellsFromPattern(square);
    renderer.DrawNext();
    EXPECT_EQ(count(qRgb(0, 0, 255)), 4);
    EXPECT_EQ(at(next, 1 * 250 + 155, 1 * 250 + 155), qRgb(0, 0, 255));
    EXPECT_EQ(outlineOf(1, 1), kYellowPx);
    EXPECT_EQ(at(next, 0 * 250 + 155, 0 * 250 + 155), kBg);
    EXPECT_EQ(at(next, 20, 20), kBg);  // the 30-unit shift leaves the corner empty

    const std::string special = "1000000000010001";
    game.score.announceNextFigure(special, true, 40000);
    game.NextFigura = cellsFromPattern(special);
    renderer.DrawNext();
    EXPECT_EQ(count(qRgb(255, 0, 0)), 3);
    EXPECT_EQ(at(next, 2 * 250 + 155, 3 * 250 + 155), qRgb(255, 0, 0));
    EXPECT_EQ(outlineOf(0, 0), kYellowPx);  // a special figure keeps the outline colour
    EXPECT_EQ(at(next, 1 * 250 + 155, 1 * 250 + 155), kBg);

    game.score.announceNextFigure(kSuperFigure, true, 250000);
    game.NextFigura = cellsFromPattern(kSuperFigure);
    renderer.DrawNext();
    EXPECT_EQ(count(qRgb(255, 0, 0)), 12);
    EXPECT_EQ(outlineOf(3, 3), qRgb(255, 255, 255));
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
        future.setBackground(colour::kBlack);
        future.setFillTransparent(true);
        future.setGeometry(101, 256, 1515, 3840, dpr);
        DrawFuture(game, future);
        for (int q = 3; q <= 5; ++q) {
            const std::string& p = game.arrQueue[q].Pattern;
            for (int k = 0; k < 16; ++k) {
                const int a = k / 4 + 1, b = k % 4 + 1;
                const double off = (q - 3) * 1200;
                const QRect r = future.toDevice(QRectF(a * 250 + 28, off + b * 250 + 28, 194, 194));
                const QRgb edge = future.image().pixel(r.left(), r.center().y());
                EXPECT_EQ(edge, p[k] == '1' ? kYellowPx : qRgb(120, 120, 120))
                    << "place " << q << " cell " << k << " dpr " << dpr;
                EXPECT_EQ(future.image().pixel(r.center()), kBg);
            }
        }
        EXPECT_EQ(at(future, 100, 100), kBg);
    }
}

TEST(Canvas, ColoursAreWindowsValuesWithRedInTheLowByte) {
    EXPECT_EQ(rgbFromWin(0x0000FF), qRgb(255, 0, 0));
    EXPECT_EQ(rgbFromWin(0xFF0000), qRgb(0, 0, 255));
    EXPECT_EQ(rgbFromWin(colour::rgb(200, 200, 210)), qRgb(200, 200, 210));
}

TEST(Canvas, DirtyAreaCollectsDrawingUntilTaken) {
    PictureCanvas c;
    c.setGeometry(100, 100, 1500, 1500, 2.0);
    EXPECT_EQ(c.takeDirty(), QRect(0, 0, 200, 200));  // a new canvas is blank and all dirty
    EXPECT_TRUE(c.takeDirty().isEmpty());
    c.filledBox(150, 150, 300, 300, colour::kWhite);
    c.filledBox(750, 750, 900, 900, colour::kWhite);
    EXPECT_EQ(c.takeDirty(), QRect(QPoint(20, 20), QPoint(119, 119)));
    c.filledBox(-500, -500, -100, -100, colour::kWhite);  // wholly outside: nothing to repaint
    EXPECT_TRUE(c.takeDirty().isEmpty());
}

}  // namespace
}  // namespace morvast
