#include "engine/field_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "test_support.h"

namespace morvast {
namespace {

const QRgb kBg = qRgb(0, 0, 0);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kCyan = qRgb(0, 255, 255);
const QRgb kDarkBlue = qRgb(0, 0, 0xC0);

// The pixel under a point in user units.
QRgb at(const PictureCanvas& c, double ux, double uy) {
    const QPointF d = c.toDevice(ux, uy);
    return c.image().pixel(int(std::floor(d.x())), int(std::floor(d.y())));
}
// The first pixel inside the left edge of a square drawn from (left, top), 194 units wide.
QRgb leftEdge(const PictureCanvas& c, double left, double top) {
    const QRect r = c.toDevice(QRectF(left, top, 194, 194));
    return c.image().pixel(r.left(), r.center().y());
}

// The real field of 233 x 433 logical pixels, at the screen's device-pixel ratio.
class FieldDrawing : public ::testing::TestWithParam<double>, public test::Fixture {
  protected:
    void SetUp() override {
        field.setGeometry(233, 433, 3760, 7760, GetParam());
        next.setGeometry(77, 77, 1155, 1155, GetParam());
    }
    QRgb centre(int x, int y) const { return at(field, (x - 4) * 250 + 125, y * 250 + 125); }
    QRgb outline(int x, int y) const { return leftEdge(field, (x - 4) * 250 + 28, y * 250 + 28); }
    void whiteOut(int x, int y) {
        field.filledBox((x - 4) * 250, y * 250, (x - 3) * 250, (y + 1) * 250, colour::kWhite);
    }

    PictureCanvas field, next;
    FieldRenderer renderer{game, rnd, field, next};
};

TEST_P(FieldDrawing, LandedCellsAndGridLeaveTheGaps) {
    game.C[4][0] = game.C[5][0] = game.C[18][30] = true;
    whiteOut(6, 0);  // DrawField starts from a clear picture
    renderer.DrawField();
    for (auto [x, y] : {std::pair{4, 0}, {5, 0}, {18, 30}}) {
        EXPECT_EQ(centre(x, y), kDarkBlue) << x << "," << y;
        EXPECT_EQ(outline(x, y), kYellow) << x << "," << y;
    }
    EXPECT_EQ(centre(6, 0), kBg);
    EXPECT_EQ(at(field, 235, 125), kBg);  // the gap between two landed cells
    EXPECT_EQ(at(field, 125, 5), kBg);    // and above a cell

    // The grid's lines run outside the squares; where they lie and their colour by place are
    // checked through the main window.
    renderer.DrawGrid();
    EXPECT_EQ(outline(5, 0), kYellow);
}

TEST_P(FieldDrawing, FigureStepsEraseWhatTheyLeftButNotLandedCells) {
    // A step right from a box whose left column is filled leaves the column left of the box:
    // black where the field is empty, a landed cell there stays.
    setFigure("1111000000000000", 8, 5);
    renderer.DrawFigure();
    game.C[8][6] = true;
    field.box(4 * 250 + 28, 6 * 250 + 28, 4 * 250 + 222, 6 * 250 + 222, colour::kYellow);
    game.bytFigX = 9;  // one step right
    field.takeDirty();
    renderer.DrawFigure();
    for (int y : {5, 7, 8})
        EXPECT_EQ(centre(8, y), kBg) << y;
    EXPECT_EQ(outline(8, 6), kYellow);
    EXPECT_EQ(outline(9, 5), kCyan);
    EXPECT_EQ(centre(9, 5), kDarkBlue);  // an outline on the fill colour, not solid
    // Only the 6 x 5 window around the box is repainted.
    EXPECT_TRUE(
        field.toDevice(QRectF(4 * 250, 4 * 250, 6 * 250, 5 * 250)).contains(field.takeDirty()));
    game.C[8][6] = false;

    // A step left from a box whose right column is filled leaves the window's last column.
    setFigure("0000000000001111", 9, 5);
    renderer.DrawFigure();
    game.bytFigX = 8;
    renderer.DrawFigure();
    EXPECT_EQ(centre(12, 6), kBg);
    EXPECT_EQ(outline(11, 6), kCyan);

    // In the top row the window starts at row 0, so it reaches row 4.
    game.bytFigY = 0;
    whiteOut(11, 4);
    whiteOut(11, 5);
    renderer.DrawFigure();
    EXPECT_EQ(centre(11, 4), kBg);
    EXPECT_EQ(centre(11, 5), qRgb(255, 255, 255));

    // A box reaching into the margins must not take the window past the field array.
    for (int figX : {0, 1, 18, 19, 20})
        for (int figY : {0, 30, 31}) {
            setFigure("1111000000000000", figX, figY);
            renderer.DrawFigure();
            renderer.ErasePhantom(figX, figY);
        }
}

TEST_P(FieldDrawing, PhantomCoversTheFigureAtItsRestingRowInTwoBoundedColours) {
    setFigure("0000010001100010", 9, 2);  // Z lying flat
    game.C[10][25] = true;                // the Z's left foot rests on it
    renderer.DrawField();
    ASSERT_EQ(game.restingRow(), 23);
    // Halves go to the even neighbour: 252.5 -> 252.
    rnd.script = {0.5, 0.0, 0.75, 0.5, 0.25, 0.0};
    rnd.draws = 0;
    renderer.ErasePhantom(9, 23);
    renderer.DrawPhantom(9, 23);
    EXPECT_EQ(rnd.draws, 6);
    const std::set<std::pair<int, int>> cells{{10, 24}, {11, 24}, {11, 25}, {12, 25}};
    for (int x = 4; x <= 18; ++x)
        for (int y = 0; y <= 30; ++y) {
            const bool phantom = cells.count({x, y}) > 0;
            EXPECT_EQ(centre(x, y) == qRgb(78, 100, 141), phantom) << x << "," << y;
            if (phantom) {
                EXPECT_EQ(at(field, (x - 4) * 250 + 37, y * 250 + 125), qRgb(252, 214, 200));
            }
        }

    // The next position: the old box is restored, landed cell included; channels stop at 255.
    rnd.script = {1.0, 1.0, 1.0, 0.75, 0.0, 0.0};
    game.bytFigX = 12;
    renderer.ErasePhantom(12, game.restingRow());
    renderer.DrawPhantom(12, game.restingRow());
    for (const auto& [x, y] : cells)
        EXPECT_EQ(centre(x, y), kBg) << x << "," << y;
    EXPECT_EQ(outline(10, 25), kYellow);
    EXPECT_EQ(centre(13, 29), qRgb(105, 155, 155));
    EXPECT_EQ(at(field, 9 * 250 + 37, 29 * 250 + 125), qRgb(255, 200, 200));
}

TEST_P(FieldDrawing, NextFigureColoursFollowTheAnnouncementAndFutureShowsThreeBoxes) {
    auto show = [&](const std::string& pattern, bool special, int32_t bonus) {
        game.score.announceNextFigure(pattern, special, bonus);
        game.NextFigura = cellsFromPattern(pattern);
        renderer.DrawNext();
        int filled = 0;  // cells whose inside shows the fill colour, checked against the pattern
        for (int k = 0; k < 16; ++k) {
            const QRgb inside = at(next, k / 4 * 250 + 155, k % 4 * 250 + 155);
            EXPECT_EQ(inside != kBg, pattern[k] == '1') << pattern << " " << k;
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

    // Places 3 to 5 of the queue: sixteen outlines each on black, filled cells in yellow.
    game.arrQueue[3].Pattern = "0000111100000000";
    game.arrQueue[4].Pattern = kSuperFigure;
    game.arrQueue[5].Pattern = "1000000000000001";
    PictureCanvas future;
    future.setFillTransparent(true);
    future.setGeometry(101, 256, 1515, 3840, GetParam());
    DrawFuture(game, future);
    for (int q = 3; q <= 5; ++q)
        for (int k = 0; k < 16; ++k) {
            const double left = (k / 4 + 1) * 250 + 28,
                         top = (q - 3) * 1200 + (k % 4 + 1) * 250 + 28;
            EXPECT_EQ(leftEdge(future, left, top),
                      game.arrQueue[q].Pattern[k] == '1' ? kYellow : qRgb(120, 120, 120))
                << "place " << q << " cell " << k;
            EXPECT_EQ(at(future, left + 97, top + 97), kBg);
        }
}

INSTANTIATE_TEST_SUITE_P(Ratios, FieldDrawing, ::testing::Values(1.0, 2.0, 1.5));

}  // namespace
}  // namespace morvast
