// Built twice: on screens of device-pixel ratio 1 and 2.
#include <QPixmap>

#include "gui_fixture.h"

namespace morvast {
namespace {

using testing::processUntil;

class PictureBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        box.setBackground(colour::kBlack);
        box.setFillColour(colour::kDarkBlue);
        box.resize(233, 433);
        box.setUserScale(3760, 7760);
        box.show();
        ASSERT_TRUE(processUntil([&] { return box.isVisible() && box.windowHandle(); }));
    }

    bool app = (testing::app(), true);
    const double dpr = QByteArray(MORVAST_TEST_SCALE).toDouble();
    PictureBox box;
};

TEST_F(PictureBoxTest, CanvasIsSizedInDevicePixelsShownCrisplyAndKeptUntilAResize) {
    box.canvas().box(1000, 1000, 2000, 2000, colour::kYellow);
    box.flush();
    const QImage shown = box.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(233, 433) * dpr);
    const QRect r = box.canvas().toDevice(QRectF(1000, 1000, 1000, 1000));
    // Every device pixel of the widget is the canvas's own: outline, fill, background.
    EXPECT_EQ(shown.pixel(r.left(), r.center().y()), qRgb(255, 255, 0));
    EXPECT_EQ(shown.pixel(r.left() + box.canvas().penWidth(), r.center().y()), qRgb(0, 0, 0xC0));
    EXPECT_EQ(shown.pixel(r.left() - 1, r.center().y()), qRgb(0, 0, 0));
    // The same scale again keeps the picture; a new size starts a fresh one.
    box.setUserScale(3760, 7760);
    EXPECT_EQ(box.canvas().image().pixel(r.left(), r.center().y()), qRgb(255, 255, 0));
    box.resize(240, 433);
    EXPECT_EQ(box.canvas().image().size(), QSize(240, 433) * dpr);
}

TEST_F(PictureBoxTest, FlushRepaintsOnlyWhatWasDrawn) {
    testing::PaintSpy spy;
    box.installEventFilter(&spy);
    box.flush();
    processUntil([&] { return spy.paints > 0; }, 50);  // the first show's paint
    spy.painted = QRegion();
    spy.paints = 0;
    box.canvas().filledBox(500, 500, 750, 750, colour::kWhite);
    box.flush();
    ASSERT_TRUE(processUntil([&] { return spy.paints > 0; }));
    const QRect logical(QPoint(500 * 233 / 3760, 500 * 433 / 7760),
                        QPoint(750 * 233 / 3760 + 1, 750 * 433 / 7760 + 1));
    EXPECT_TRUE(logical.adjusted(-1, -1, 1, 1).contains(spy.painted.boundingRect()));
}

}  // namespace
}  // namespace morvast
