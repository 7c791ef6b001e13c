#include <gtest/gtest.h>

#include <functional>

#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include "gui_app.h"
#include "windows/frm_future.h"
#include "windows/frm_statistic.h"

namespace morvast {
namespace {

using test::processUntil;

class SideWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        field = new QLineEdit(&main);
        other = new QLineEdit(&main);
        other->move(0, 40);
        main.show();
        stat.setFocusTarget(field);
        future.setFocusTarget(field);
        stat.show();
        future.show();
        main.activateWindow();
        ASSERT_TRUE(processUntil([&] { return QApplication::activeWindow() == &main; }));
    }

    // The keyboard sits in another control of the main window; one event reaches a side window.
    void expectFocusBack(const char* what, const std::function<void()>& deliver) {
        other->setFocus();
        ASSERT_TRUE(processUntil([&] { return QApplication::focusWidget() == other; })) << what;
        deliver();
        EXPECT_TRUE(processUntil([&] { return QApplication::focusWidget() == field; })) << what;
        EXPECT_EQ(QApplication::activeWindow(), &main) << what;
    }

    test::AppGuard app;
    QWidget main;
    QLineEdit *field, *other;
    frmStatistic stat;
    frmFuture future;
};

TEST_F(SideWindows, CaptionsFixedToolWindowsAndContentFillingTheClientArea) {
    EXPECT_EQ(stat.windowTitle(), QStringLiteral("Statistic"));
    EXPECT_EQ(future.windowTitle(), QStringLiteral("Future"));
    EXPECT_EQ(stat.size(), QSize(152, 213));
    EXPECT_EQ(future.size(), QSize(101, 256));
    for (QWidget* w : {static_cast<QWidget*>(&stat), static_cast<QWidget*>(&future)}) {
        EXPECT_EQ(w->windowType(), Qt::Tool);
        EXPECT_EQ(w->minimumSize(), w->maximumSize());
        EXPECT_FALSE(w->windowFlags() &
                     (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    }
    EXPECT_EQ(stat.lstStatistic->geometry(), stat.rect());
    EXPECT_EQ(stat.lstStatistic->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(future.picFuture->geometry(), future.rect());

    for (int i = 1; i <= 40; ++i)
        stat.addLine(QString::number(i) + ". +200", false);
    EXPECT_EQ(stat.lstStatistic->currentRow(), -1);
    stat.addLine(QStringLiteral("41. +475 -> 1 lines"), true);
    EXPECT_EQ(stat.lstStatistic->currentRow(), 40);
}

TEST_F(SideWindows, CloseBoxOnlyHidesAndTellsTheOwnerWhileTheProgramReallyCloses) {
    for (SideWindow* w : {static_cast<SideWindow*>(&stat), static_cast<SideWindow*>(&future)}) {
        int told = 0;
        w->setOnUserClose([&] { ++told; });
        w->windowHandle()->close();  // the way the close box reaches the window
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(told, 1);
        w->show();
        EXPECT_FALSE(w->close());  // any other close request counts as the user's too
        EXPECT_EQ(told, 2);
        w->show();
        EXPECT_TRUE(w->unloadByProgram());
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(told, 2);
    }
}

TEST_F(SideWindows, TheKeyboardAlwaysGoesBackToTheGame) {
    expectFocusBack("activation of the statistic window", [&] {
        stat.activateWindow();
        stat.lstStatistic->setFocus();
    });
    expectFocusBack("activation of the future window", [&] { future.activateWindow(); });
    expectFocusBack("release over the list", [&] {
        QTest::mouseRelease(stat.lstStatistic->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    });
    expectFocusBack("release over the picture", [&] {
        QTest::mouseRelease(future.picFuture, Qt::LeftButton, {}, QPoint(50, 50));
    });
    expectFocusBack("release over the form",
                    [&] { QTest::mouseRelease(&future, Qt::RightButton, {}, QPoint(10, 10)); });
    // Each of the two other ways on its own.
    expectFocusBack("focus into the list", [&] {
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(stat.lstStatistic, &in);
    });
    expectFocusBack("activation event", [&] {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&future, &activate);
    });
}

}  // namespace
}  // namespace morvast
