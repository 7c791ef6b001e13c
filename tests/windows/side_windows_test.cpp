#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
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
        main.setWindowTitle(QStringLiteral("main"));
        main.resize(200, 100);
        field = new QLineEdit(&main);
        main.show();
        main.activateWindow();
        field->setFocus();
        ASSERT_TRUE(processUntil([&] { return QApplication::focusWidget() == field; }));
        for (SideWindow* w : {static_cast<SideWindow*>(&stat), static_cast<SideWindow*>(&future)}) {
            w->setFocusTarget(field);
        }
    }

    // Puts the keyboard into the side window and expects it back in the field.
    void expectFocusReturns(SideWindow& w, QWidget* inside) {
        w.show();
        w.activateWindow();
        inside->setFocus();
        EXPECT_TRUE(processUntil([&] { return QApplication::focusWidget() == field; }))
            << "focus is with "
            << (QApplication::focusWidget() ? qPrintable(QApplication::focusWidget()->objectName())
                                            : "nobody");
        EXPECT_EQ(QApplication::activeWindow(), &main);
    }

    test::AppGuard app;
    QWidget main;
    QLineEdit* field = nullptr;
    frmStatistic stat;
    frmFuture future;
};

TEST_F(SideWindows, CaptionsFixedToolWindowsAndContentFillingTheClientArea) {
    EXPECT_EQ(stat.windowTitle(), QStringLiteral("Statistic"));
    EXPECT_EQ(future.windowTitle(), QStringLiteral("Future"));
    stat.show();
    future.show();
    processUntil([&] { return stat.isVisible() && future.isVisible(); });
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
}

TEST_F(SideWindows, StatisticLinesScrollToTheLastWhenAsked) {
    for (int i = 1; i <= 40; ++i)
        stat.addLine(QString::number(i) + ". +200", false);
    EXPECT_EQ(stat.lstStatistic->currentRow(), -1);
    stat.addLine(QStringLiteral("41. +475 -> 1 lines"), true);
    EXPECT_EQ(stat.lstStatistic->currentRow(), 40);
    EXPECT_EQ(stat.lstStatistic->currentItem()->text(), QStringLiteral("41. +475 -> 1 lines"));
}

TEST_F(SideWindows, CloseBoxOnlyHidesAndTellsTheOwnerWhileTheProgramReallyCloses) {
    for (SideWindow* w : {static_cast<SideWindow*>(&stat), static_cast<SideWindow*>(&future)}) {
        int told = 0;
        w->setOnUserClose([&] { ++told; });
        w->show();
        ASSERT_TRUE(processUntil([&] { return w->windowHandle() && w->isVisible(); }));
        w->windowHandle()->close();  // the way the close box reaches the window
        processUntil([&] { return !w->isVisible(); });
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(told, 1);

        w->show();  // checking the toggle again shows it with its content
        EXPECT_TRUE(w->isVisible());
        w->unloadByProgram();
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(told, 1);
        w->setOnUserClose(nullptr);
    }
}

TEST_F(SideWindows, ProgramCloseIsAcceptedOnlyThroughUnload) {
    stat.show();
    int told = 0;
    stat.setOnUserClose([&] { ++told; });
    EXPECT_FALSE(stat.close());  // an ordinary close request counts as the user's
    EXPECT_EQ(told, 1);
    stat.show();
    stat.unloadByProgram();
    EXPECT_FALSE(stat.isVisible());
    EXPECT_EQ(told, 1);
}

TEST_F(SideWindows, ActivatingEitherWindowHandsTheKeyboardBack) {
    expectFocusReturns(stat, stat.lstStatistic);
    expectFocusReturns(future, future.picFuture);
}

// Each way back on its own: the keyboard sits in another control of the main window and one
// event reaches the side window, which is shown but not active.
TEST_F(SideWindows, EachEventThatHandsTheKeyboardBack) {
    stat.show();
    future.show();
    main.activateWindow();
    ASSERT_TRUE(processUntil([&] { return QApplication::activeWindow() == &main; }));
    auto* other = new QLineEdit(&main);
    other->move(0, 40);
    other->show();

    auto expectBack = [&](const char* what, auto&& deliver) {
        other->setFocus();
        ASSERT_TRUE(processUntil([&] { return QApplication::focusWidget() == other; })) << what;
        deliver();
        EXPECT_TRUE(processUntil([&] { return QApplication::focusWidget() == field; })) << what;
    };
    expectBack("release over the list", [&] {
        QTest::mouseRelease(stat.lstStatistic->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    });
    expectBack("release over the picture",
               [&] { QTest::mouseRelease(future.picFuture, Qt::LeftButton, {}, QPoint(50, 50)); });
    expectBack("release over the form",
               [&] { QTest::mouseRelease(&future, Qt::RightButton, {}, QPoint(10, 10)); });
    expectBack("focus into the list", [&] {
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(stat.lstStatistic, &in);
    });
    expectBack("activation of the future window", [&] {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&future, &activate);
    });
}

}  // namespace
}  // namespace morvast
