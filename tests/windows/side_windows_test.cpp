// The statistic, future and records windows: fixed tool windows that never keep the keyboard.
#include <QFontInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QWindow>

#include "gui_fixture.h"
#include "windows/forms/frm_future.h"
#include "windows/forms/frm_morvas_fathers.h"
#include "windows/forms/frm_statistic.h"

namespace morvast {
namespace {

using testing::processUntil;

class SideWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        other->move(0, 40);
        main.show();
        for (SideWindow* w : all)
            w->setFocusTarget(field), w->show();
        main.activateWindow();
        ASSERT_TRUE(processUntil([&] { return QApplication::activeWindow() == &main; }));
    }

    bool app = (testing::app(), true);
    QWidget main;
    QLineEdit *field = new QLineEdit(&main), *other = new QLineEdit(&main);
    frmStatistic stat;
    frmFuture future;
    frmMorvasFathers records;
    SideWindow* const all[3] = {&stat, &future, &records};
};

TEST_F(SideWindows, FixedToolWindowsWhoseCloseBoxOnlyHidesWhileTheProgramReallyCloses) {
    EXPECT_EQ(stat.size(), QSize(152, 213));
    EXPECT_EQ(future.picFuture->geometry(), future.rect());
    EXPECT_TRUE(QFontInfo(records.lstTable->font()).fixedPitch());
    for (SideWindow* w : all) {
        SCOPED_TRACE(w->windowTitle().toStdString());
        EXPECT_EQ(w->windowType(), Qt::Tool);
        EXPECT_EQ(w->minimumSize(), w->maximumSize());
        int told = 0;
        w->setOnUserClose([&] { ++told; });
        w->windowHandle()->close();  // the way the close box reaches the window
        EXPECT_FALSE(w->isVisible());
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
    records.setRecordsList({"1. A              3"});
    const auto send = [](QObject* to, QEvent&& e) { QApplication::sendEvent(to, &e); };
    QWidget* list = stat.lstStatistic->viewport();
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"statistic", [&] { stat.activateWindow(), stat.lstStatistic->setFocus(); }},
        {"records", [&] { records.activateWindow(), records.lstTable->setFocus(); }},
        {"release on list", [&] { QTest::mouseRelease(list, Qt::LeftButton, Qt::NoModifier); }},
        {"release on form", [&] { QTest::mouseRelease(&future, Qt::RightButton, Qt::NoModifier); }},
        {"focus in", [&] { send(stat.lstStatistic, QFocusEvent(QEvent::FocusIn)); }},
        {"activate", [&] { send(&future, QEvent(QEvent::WindowActivate)); }},
    };
    for (const auto& [what, deliver] : ways) {
        other->setFocus();
        ASSERT_TRUE(processUntil([&] { return QApplication::focusWidget() == other; })) << what;
        deliver();
        EXPECT_TRUE(processUntil([&] { return QApplication::focusWidget() == field; })) << what;
        EXPECT_EQ(QApplication::activeWindow(), &main) << what;
    }
}

}  // namespace
}  // namespace morvast
