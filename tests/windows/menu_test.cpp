// The menu, the pause and the panel's blinks.
#include <QTest>

#include "gui_fixture.h"
#include "windows/frm_future.h"
#include "windows/frm_statistic.h"
#include "windows/win_colour.h"

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

    // ESC pauses and minimises everything; a second ESC resumes.
    w->chkStat->setChecked(true);
    QTest::keyClick(w->lblScore, Qt::Key_Escape);
    EXPECT_TRUE(w->chkPause->isChecked() && w->isMinimized() && !w->tmrDownEnabled());
    EXPECT_TRUE(w->statisticWindow()->windowState() & Qt::WindowMinimized);
    QTest::keyClick(w.get(), Qt::Key_Escape);
    EXPECT_FALSE(w->chkPause->isChecked() || w->isMinimized() || !w->tmrDownEnabled());
    // Minimising by the title bar pauses too, but restoring does not resume.
    w->showMinimized();
    w->showNormal();
    EXPECT_TRUE(w->chkPause->isChecked());
    EXPECT_FALSE(w->statisticWindow()->windowState() & Qt::WindowMinimized);
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
    QTest::mouseClick(w->chkStat, Qt::LeftButton);
    QTest::mouseClick(w->chkFuture, Qt::LeftButton);
    testing::processUntil([] { return false; }, 5);
    EXPECT_TRUE(w->statisticWindow()->isVisible() && w->futureWindow()->isVisible());
    const int x = w->game.bytFigX;
    QTest::keyClick(w->picMorvast, Qt::Key_Right);
    EXPECT_EQ(w->game.bytFigX, x + 1);
    EXPECT_TRUE(w->picMorvast->hasFocus());

    w->futureWindow()->close();  // the close box only hides and unchecks
    EXPECT_FALSE(w->futureWindow()->isVisible() || w->chkFuture->isChecked());
    QTest::mouseClick(w->chkStat, Qt::LeftButton);
    EXPECT_FALSE(w->statisticWindow()->isVisible());
    // Windows still to come leave their buttons unchecked.
    for (QPushButton* b : {w->chkRec, w->chkMP3, w->chkHelp, w->chkAuto}) {
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_FALSE(b->isChecked()) << b->text().toStdString();
    }
    EXPECT_TRUE(w->tmrDownEnabled());
}

TEST_F(MainWindowTest, DemoPressesTheButtonsAtRandomIntervals) {
    QTest::mouseClick(w->chkDemo, Qt::LeftButton);
    const int x = w->game.bytFigX;
    // Interval draw 0.5: 380 ms; press draw 0.1: a move left.
    rnd.queued = {0.5, 0.1};
    w->tmrDemo_Timer();
    EXPECT_EQ(w->tmrDemo.interval(), 380);
    EXPECT_EQ(w->game.bytFigX, x - 1);
    // The next press first gives the buttons their colour back; 0.99: an inversion.
    rnd.queued = {0.0, 0.99};
    w->tmrDemo_Timer();
    EXPECT_EQ(w->tmrDemo.interval(), 5);
    EXPECT_EQ(backColor(w->cmdLeftRight[0]), w->lngButtonColor);
    QTest::mouseClick(w->chkDemo, Qt::LeftButton);
    EXPECT_FALSE(w->tmrDemo.isActive());
}

class CountingSettings : public SettingsPort {
  public:
    int loads = 0, saves = 0;
    void LoadSettings(frmMain& w) override { ++loads, w.settings.SpeedChange = 40; }
    void SaveSettings(frmMain&) override { ++saves; }
};

class SettingsSeam : public MainWindowTest {
  protected:
    void beforeLoad() override { w->setSettingsPort(&file); }
    CountingSettings file;
};

TEST_F(SettingsSeam, SettingsAreReadOnceAndWrittenWhenTheWindowCloses) {
    EXPECT_EQ(w->game.ForLoop, -5000);
    w->game.ForLoop = 1234;
    w->newGameAfterGameOver();
    EXPECT_EQ(w->game.ForLoop, 1234);  // not read again
    EXPECT_EQ(file.loads + file.saves, 1);
    QTest::mouseClick(w->chkExit, Qt::LeftButton);
    EXPECT_EQ(file.saves, 1);
}

}  // namespace
}  // namespace morvast
