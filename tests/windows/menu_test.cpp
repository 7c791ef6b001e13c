// The menu, the pause and the panel's blinks.
#include <QMouseEvent>
#include <QTest>

#include "gui_fixture.h"
#include "windows/frm_future.h"
#include "windows/frm_statistic.h"
#include "windows/win_colour.h"

namespace morvast {
namespace {

using testing::MainWindowTest;

void hover(QWidget* target) {
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), target->mapToGlobal(QPointF(3, 3)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

TEST_F(MainWindowTest, PauseByButtonStopsTheGameWithoutMinimisingAndResumes) {
    QTest::mouseClick(w->chkPause, Qt::LeftButton);
    EXPECT_TRUE(w->chkPause->isChecked());
    EXPECT_TRUE(w->fraControl->isHidden());
    EXPECT_TRUE(w->lblPause->isVisible());
    EXPECT_FALSE(w->tmrDownEnabled());
    EXPECT_FALSE(w->game.blnPlaying);
    EXPECT_FALSE(w->isMinimized());

    const int x = w->game.bytFigX;
    QTest::keyClick(w->picMorvast, Qt::Key_Left);
    QTest::keyClick(w->picMorvast, Qt::Key_Space);
    QTest::keyClick(w->picMorvast, Qt::Key_Down);
    EXPECT_EQ(w->game.bytFigX, x);
    EXPECT_FALSE(w->game.blnDrop);
    EXPECT_TRUE(sound.played.empty());

    QTest::mouseClick(w->chkPause, Qt::LeftButton);
    EXPECT_FALSE(w->fraControl->isHidden());
    EXPECT_TRUE(w->tmrDownEnabled());
    EXPECT_TRUE(w->game.blnPlaying);
    QTest::keyClick(w->picMorvast, Qt::Key_Left);
    EXPECT_EQ(w->game.bytFigX, x - 1);
}

TEST_F(MainWindowTest, EscapePausesAndMinimisesAndAgainResumes) {
    QTest::keyClick(w->lblScore, Qt::Key_Escape);
    EXPECT_TRUE(w->chkPause->isChecked());
    EXPECT_TRUE(w->isMinimized());
    EXPECT_FALSE(w->tmrDownEnabled());
    EXPECT_FALSE(w->game.blnEscPause);

    QTest::keyClick(w.get(), Qt::Key_Escape);
    EXPECT_FALSE(w->chkPause->isChecked());
    EXPECT_FALSE(w->isMinimized());
    EXPECT_TRUE(w->tmrDownEnabled());
}

TEST_F(MainWindowTest, MinimisingPausesAndRestoringDoesNotResume) {
    w->chkStat->setChecked(true);
    w->showMinimized();
    EXPECT_TRUE(w->chkPause->isChecked());
    EXPECT_FALSE(w->tmrDownEnabled());
    EXPECT_TRUE(w->statisticWindow()->windowState() & Qt::WindowMinimized);
    w->showNormal();
    EXPECT_TRUE(w->chkPause->isChecked());
    EXPECT_FALSE(w->statisticWindow()->windowState() & Qt::WindowMinimized);
}

TEST_F(MainWindowTest, HoverColoursMoveWithTheMouseAcrossTheTopRow) {
    const uint32_t red = 0x0000FF, cyan = 0xFFFF00;
    // Untouched, the top row wears its design colours.
    EXPECT_EQ(backColor(w->chkHelp), 0x004080u);
    hover(w->chkHelp);
    EXPECT_EQ(backColor(w->chkHelp), cyan);
    EXPECT_EQ(foreColor(w->chkHelp), red);
    EXPECT_EQ(backColor(w->chkPause), red);
    EXPECT_EQ(foreColor(w->chkPause), cyan);
    hover(w->chkDemo);
    EXPECT_EQ(backColor(w->chkHelp), red);
    EXPECT_EQ(foreColor(w->chkHelp), cyan);
    EXPECT_EQ(backColor(w->chkDemo), cyan);
    // The bottom row has no hover.
    hover(w->chkStat);
    EXPECT_EQ(backColor(w->chkDemo), cyan);
    // The margin resets only Pause; the menu frame resets them all.
    hover(w->chkPause);
    hover(w->fraBottomRight);
    EXPECT_EQ(backColor(w->chkPause), red);
    hover(w->chkSet);
    hover(w->fraBottomRight);
    EXPECT_EQ(backColor(w->chkSet), cyan);
    hover(w->frmMenu);
    EXPECT_EQ(backColor(w->chkSet), red);
    EXPECT_EQ(foreColor(w->chkSet), cyan);
}

TEST_F(MainWindowTest, RunningLightCrossesTheTopRowOnceAndLeavesTheDesignColour) {
    hover(w->chkExit);  // a hover colour before the pass is overwritten by it
    QPushButton* const row[] = {w->chkPause, w->chkHelp, w->chkDemo, w->chkSet, w->chkExit};
    w->startRunningLight();
    ASSERT_TRUE(w->tmrMigMenuControls.isActive());
    for (int s = 0; s < 5; ++s) {
        w->tmrMigMenuControls_Timer();
        // A place gained during the pass does not restart it.
        w->startRunningLight();
        for (int i = 0; i < 5; ++i)
            if (i == s)
                EXPECT_EQ(backColor(row[i]), 0x00FF00u) << s;
            else
                EXPECT_NE(backColor(row[i]), 0x00FF00u) << s << " " << i;
    }
    w->tmrMigMenuControls_Timer();
    EXPECT_FALSE(w->tmrMigMenuControls.isActive());
    for (QPushButton* b : row)
        EXPECT_EQ(backColor(b), w->lngMenuBackColor);
    EXPECT_EQ(w->intMenuBlinkStep, 0);
}

TEST_F(MainWindowTest, BlinksEndInTheirFinalColours) {
    w->lineBonusAwarded(2, "2-Lines*1 = 800");
    EXPECT_TRUE(w->tmrMigCountLines.isActive());
    EXPECT_EQ(w->lblCountLines[2]->text(), QStringLiteral("2-Lines*1 = 800"));
    w->tmrMigCountLines_Timer();
    EXPECT_EQ(foreColor(w->lblCountLines[2]), colour::kBlack);
    w->tmrMigCountLines_Timer();
    EXPECT_EQ(foreColor(w->lblCountLines[2]), colour::kYellow);
    // A second removal during the blink starts the count over.
    w->lineBonusAwarded(2, "2-Lines*2 = 1600");
    for (int i = 0; i < 5; ++i)
        w->tmrMigCountLines_Timer();
    EXPECT_TRUE(w->tmrMigCountLines.isActive());
    w->tmrMigCountLines_Timer();
    EXPECT_FALSE(w->tmrMigCountLines.isActive());
    EXPECT_EQ(foreColor(w->lblCountLines[2]), colour::kYellow);
    EXPECT_EQ(w->intBlinkLines, 0);

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
    QTest::mouseClick(w->chkStat, Qt::LeftButton);
    QTest::mouseClick(w->chkFuture, Qt::LeftButton);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    EXPECT_TRUE(w->statisticWindow()->isVisible());
    EXPECT_TRUE(w->futureWindow()->isVisible());
    const int x = w->game.bytFigX;
    QTest::keyClick(w->picMorvast, Qt::Key_Right);
    EXPECT_EQ(w->game.bytFigX, x + 1);
    EXPECT_TRUE(w->picMorvast->hasFocus());

    // The close box only hides and unchecks.
    w->futureWindow()->close();
    EXPECT_FALSE(w->futureWindow()->isVisible());
    EXPECT_FALSE(w->chkFuture->isChecked());
    QTest::mouseClick(w->chkStat, Qt::LeftButton);
    EXPECT_FALSE(w->statisticWindow()->isVisible());

    // Windows still to come leave their buttons unchecked and change nothing.
    for (QPushButton* b : {w->chkRec, w->chkMP3, w->chkHelp, w->chkAuto}) {
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_FALSE(b->isChecked()) << b->text().toStdString();
    }
    EXPECT_TRUE(w->tmrDownEnabled());
}

TEST_F(MainWindowTest, SetSpringsBackAndResetsTheMenuColours) {
    QTest::mouseClick(w->chkSet, Qt::LeftButton);
    EXPECT_FALSE(w->chkSet->isChecked());
    EXPECT_EQ(backColor(w->chkPause), 0x0000FFu);
    EXPECT_EQ(backColor(w->chkExit), 0x0000FFu);
    EXPECT_TRUE(w->picMorvast->hasFocus());
}

TEST_F(MainWindowTest, DemoPressesTheButtonsAtRandomIntervals) {
    QTest::mouseClick(w->chkDemo, Qt::LeftButton);
    EXPECT_TRUE(w->tmrDemo.isActive());
    const int x = w->game.bytFigX;
    // Interval draw 0.5: 380 ms; press draw 0.1: k = 2, a move left.
    rnd.queued = {0.5, 0.1};
    w->tmrDemo_Timer();
    EXPECT_EQ(w->tmrDemo.interval(), 380);
    EXPECT_EQ(w->game.bytFigX, x - 1);
    EXPECT_EQ(backColor(w->cmdLeftRight[0]), 0x00FF00u);
    // The next press first gives the buttons their colour back; 0.99: k = 23, an inversion.
    rnd.queued = {0.0, 0.99};
    w->tmrDemo_Timer();
    EXPECT_EQ(w->tmrDemo.interval(), 5);
    EXPECT_EQ(backColor(w->cmdLeftRight[0]), w->lngButtonColor);
    EXPECT_EQ(backColor(w->cmdSpace), colour::kYellow);
    QTest::mouseClick(w->chkDemo, Qt::LeftButton);
    EXPECT_FALSE(w->tmrDemo.isActive());
}

class CountingSettings : public SettingsPort {
  public:
    int loads = 0, saves = 0;
    void LoadSettings(frmMain& w) override {
        ++loads;
        w.settings.SpeedChange = 40;
    }
    void SaveSettings(frmMain&) override { ++saves; }
};

class SettingsSeam : public MainWindowTest {
  protected:
    void beforeLoad() override { w->setSettingsPort(&file); }
    CountingSettings file;
};

TEST_F(SettingsSeam, SettingsAreReadOnceAndWrittenWhenTheWindowCloses) {
    EXPECT_EQ(file.loads, 1);
    EXPECT_EQ(w->game.ForLoop, -5000);
    w->game.ForLoop = 1234;
    w->newGameAfterGameOver();
    EXPECT_EQ(file.loads, 1);
    EXPECT_EQ(w->game.ForLoop, 1234);
    EXPECT_EQ(file.saves, 0);
    QTest::mouseClick(w->chkExit, Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(file.saves, 1);
}

}  // namespace
}  // namespace morvast
