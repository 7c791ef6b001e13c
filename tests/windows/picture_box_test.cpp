#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QPixmap>
#include <QSignalSpy>

#include "gui_app.h"
#include "windows/picture_box.h"

#ifndef MORVAST_TEST_SCALE
#define MORVAST_TEST_SCALE "1"
#endif

namespace morvast {
namespace {

using test::processUntil;

// Remembers the area of every paint event of a widget.
class PaintWatcher : public QObject {
  public:
    QRegion painted;
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(e)->region();
            ++paints;
        }
        return false;
    }
};

class PictureBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dpr = QByteArray(MORVAST_TEST_SCALE).toDouble();
        box.setBackground(colour::kBlack);
        box.setFillColour(colour::kDarkBlue);
        box.resize(233, 433);
        box.setUserScale(3760, 7760);
        box.show();
        ASSERT_TRUE(processUntil([&] { return box.isVisible() && box.windowHandle(); }));
    }

    test::AppGuard app{MORVAST_TEST_SCALE};
    double dpr = 1;
    PictureBox box;
};

TEST_F(PictureBoxTest, CanvasIsSizedInDevicePixelsAndShownCrisply) {
    EXPECT_DOUBLE_EQ(box.devicePixelRatioF(), dpr);
    EXPECT_EQ(box.canvas().image().size(), QSize(233, 433) * dpr);
    box.canvas().box(1000, 1000, 2000, 2000, colour::kYellow);
    box.flush();
    const QImage shown = box.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(233, 433) * dpr);
    const QRect r = box.canvas().toDevice(QRectF(1000, 1000, 1000, 1000));
    // Every device pixel of the widget is the canvas's own: outline, fill, background.
    EXPECT_EQ(shown.pixel(r.left(), r.center().y()), qRgb(255, 255, 0));
    EXPECT_EQ(shown.pixel(r.left() + box.canvas().penWidth(), r.center().y()), qRgb(0, 0, 0xC0));
    EXPECT_EQ(shown.pixel(r.left() - 1, r.center().y()), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(r.center()), qRgb(0, 0, 0xC0));
}

TEST_F(PictureBoxTest, FlushRepaintsOnlyWhatWasDrawn) {
    PaintWatcher watcher;
    box.installEventFilter(&watcher);
    box.flush();
    processUntil([&] { return watcher.paints > 0; }, 50);  // the first show's paint
    watcher.painted = QRegion();
    watcher.paints = 0;

    box.canvas().filledBox(500, 500, 750, 750, colour::kWhite);
    box.flush();
    ASSERT_TRUE(processUntil([&] { return watcher.paints > 0; }));
    const QRect logical(QPoint(500 * 233 / 3760, 500 * 433 / 7760),
                        QPoint(750 * 233 / 3760 + 1, 750 * 433 / 7760 + 1));
    EXPECT_TRUE(logical.adjusted(-1, -1, 1, 1).contains(watcher.painted.boundingRect()))
        << watcher.painted.boundingRect().x() << "," << watcher.painted.boundingRect().y() << " "
        << watcher.painted.boundingRect().width() << "x" << watcher.painted.boundingRect().height();
    box.removeEventFilter(&watcher);
}

TEST_F(PictureBoxTest, KeepsItsImageUnlessTheGeometryChanges) {
    QSignalSpy recreated(&box, &PictureBox::canvasRecreated);
    box.canvas().filledBox(0, 0, 250, 250, colour::kWhite);
    box.setUserScale(3760, 7760);
    box.update();
    processUntil([] { return false; }, 5);
    EXPECT_EQ(recreated.count(), 0);
    EXPECT_EQ(box.canvas().image().pixel(1, 1), qRgb(255, 255, 255));

    box.resize(240, 433);
    EXPECT_EQ(recreated.count(), 1);
    EXPECT_EQ(box.canvas().image().size(), QSize(240, 433) * dpr);
    EXPECT_EQ(box.canvas().image().pixel(1, 1), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace morvast
