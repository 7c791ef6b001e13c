// The menu, the pause and the panel's blinks.
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "gui_fixture.h"
#include "windows/forms/frm_mp3.h"
#include "windows/forms/frm_future.h"
#include "windows/forms/frm_morvas_fathers.h"
#include "windows/forms/frm_statistic.h"

namespace morvast {
namespace {

using testing::MainWindowTest;

TEST_F(MainWindowTest, PauseByButtonOrEscapeStopsTheGameAndResumes) {
    QTest::mouseClick(w->chkPause, Qt::LeftButton);
    EXPECT_TRUE(w->fraControl->isHidden() && w->lblPause->isVisible());
    EXPECT_FALSE(w->tmrDownEnabled() || w->isMinimized());
    const int x = w->game.bytFigX;
    for (Qt::Key k : {Qt::Key_Left, Qt::Key_Space, Qt::Key_Down})
        QTest::keyClick(w->picMorvast, k);
    EXPECT_EQ(w->game.bytFigX, x);
    EXPECT_TRUE(sound.played.empty());
    QTest::mouseClick(w->chkPause, Qt::LeftButton);
    EXPECT_TRUE(w->tmrDownEnabled() && !w->fraControl->isHidden());
    QTest::keyClick(w->picMorvast, Qt::Key_Left);
    EXPECT_EQ(w->game.bytFigX, x - 1);

    // ESC pauses and minimises (the side windows go along as with any minimising); a second
    // ESC resumes.
    QTest::keyClick(w->lblScore, Qt::Key_Escape);
    EXPECT_TRUE(w->chkPause->isChecked() && w->isMinimized() && !w->tmrDownEnabled());
    QTest::keyClick(w.get(), Qt::Key_Escape);
    EXPECT_FALSE(w->chkPause->isChecked() || w->isMinimized() || !w->tmrDownEnabled());
}

TEST_F(MainWindowTest, BlinksEndInTheirFinalColours) {
    w->lineBonusAwarded(2, "2-Lines*1 = 800");
    w->tmrMigCountLines_Timer();
    EXPECT_EQ(foreColor(w->lblCountLines[2]), colour::kBlack);
    // A second removal during the blink starts the count over.
    w->lineBonusAwarded(2, "2-Lines*2 = 1600");
    for (int i = 0; i < 5; ++i)
        w->tmrMigCountLines_Timer();
    EXPECT_TRUE(w->tmrMigCountLines.isActive());
    w->tmrMigCountLines_Timer();
    EXPECT_FALSE(w->tmrMigCountLines.isActive());
    EXPECT_EQ(foreColor(w->lblCountLines[2]), colour::kYellow);
    EXPECT_EQ(w->lblCountLines[2]->text(), QStringLiteral("2-Lines*2 = 1600"));

    w->game.score.intLevel = 3;
    w->startLevelBlink();
    for (int i = 0; i < 15; ++i)
        w->tmrLevel_Timer();
    EXPECT_TRUE(w->tmrLevel.isActive());
    w->tmrLevel_Timer();
    EXPECT_FALSE(w->tmrLevel.isActive());
    EXPECT_EQ(foreColor(w->lblLevel), colour::qbColor(4));
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(backColor(w->Label[i]), colour::kBlack);
}

TEST_F(MainWindowTest, TogglesShowAndHideSideWindowsAndTheKeysStayWithTheGame) {
    const std::pair<QPushButton*, QWidget*> toggles[] = {{w->chkRec, w->recordsWindow()},
                                                         {w->chkStat, w->statisticWindow()},
                                                         {w->chkFuture, w->futureWindow()},
                                                         {w->chkMP3, w->playerWindow()}};
    for (const auto& [toggle, window] : toggles) {
        SCOPED_TRACE(toggle->text().toStdString());
        QTest::mouseClick(toggle, Qt::LeftButton);
        testing::processUntil([] { return false; }, 5);
        EXPECT_TRUE(window->isVisible() && w->picMorvast->hasFocus());
        window->close();  // the close box only hides and unchecks
        EXPECT_FALSE(window->isVisible() || toggle->isChecked());
        QTest::mouseClick(toggle, Qt::LeftButton);
        QTest::mouseClick(toggle, Qt::LeftButton);
        EXPECT_FALSE(window->isVisible() || toggle->isChecked());
    }
}

TEST_F(MainWindowTest, DemoPressesTheButtonsAtRandomIntervals) {
    QTest::mouseClick(w->chkDemo, Qt::LeftButton);
    const int x = w->game.bytFigX;
    // Interval draw 0.5 (the intervals are the demo tests' to check); press draw 0.1: a move
    // left.
    rnd.queued = {0.5, 0.1};
    w->tmrDemo_Timer();
    EXPECT_EQ(w->game.bytFigX, x - 1);
    // The next press first gives the buttons their colour back; 0.99: an inversion.
    rnd.queued = {0.0, 0.99};
    w->tmrDemo_Timer();
    EXPECT_EQ(w->tmrDemo.interval(), 5);
    EXPECT_EQ(backColor(w->cmdLeftRight[0]), w->lngButtonColor);
    QTest::mouseClick(w->chkDemo, Qt::LeftButton);
    EXPECT_FALSE(w->tmrDemo.isActive());
}

void hover(QWidget* target) {
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), target->mapToGlobal(QPointF(3, 3)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

TEST_F(MainWindowTest, MenuHoverAndTheRunningLight) {
    const uint32_t red = 0x0000FF, cyan = 0xFFFF00;
    hover(w->chkHelp);
    EXPECT_EQ(backColor(w->chkHelp), cyan);
    EXPECT_EQ(foreColor(w->chkHelp), red);
    EXPECT_EQ(backColor(w->chkPause), red);
    hover(w->chkStat);         // the bottom row has no hover
    hover(w->fraBottomRight);  // the margin resets Pause only
    EXPECT_EQ(backColor(w->chkHelp), cyan);

    // One pass lights each top-row button in turn and ends on the design colour; a place
    // gained meanwhile does not restart it.
    QPushButton* const row[] = {w->chkPause, w->chkHelp, w->chkDemo, w->chkSet, w->chkExit};
    w->startRunningLight();
    for (int s = 0; s < 5; ++s) {
        w->tmrMigMenuControls_Timer();
        w->startRunningLight();
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(backColor(row[i]) == 0x00FF00u, i == s) << s << " " << i;
    }
    w->tmrMigMenuControls_Timer();
    EXPECT_FALSE(w->tmrMigMenuControls.isActive());
    EXPECT_EQ(w->intMenuBlinkStep, 0);
    for (QPushButton* b : row)
        EXPECT_EQ(backColor(b), w->lngMenuBackColor);
    EXPECT_EQ(w->lngMenuBackColor, 0x004080u);
}

}  // namespace
}  // namespace morvast
