// The end-of-game dialogs and the records kept across them.
#include <QDir>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <csignal>
#include <limits>

#include <sys/stat.h>

#include "gui_fixture.h"
#include "windows/forms/frm_enter_name.h"
#include "windows/forms/frm_game_over.h"
#include "windows/forms/frm_morvas_fathers.h"
#include "windows/forms/frm_statistic.h"
#include "windows/main/session_end.h"

namespace morvast {
namespace {

using testing::key;
using testing::MainWindowTest;
using testing::whenShown;

// Yes and No at game over are answered in the main window's tests of the end of a game.
TEST(Dialogs, NameIsAtMostTenCharactersAndEscapeClosesNeitherDialog) {
    testing::app();
    QWidget owner;
    whenShown<frmEnterName>([](frmEnterName* d) {
        EXPECT_EQ(d->txtName->selectedText(), QStringLiteral("UnNamed"));
        testing::type(d->txtName, QStringLiteral("Вася Пупкин"));
        key(d->txtName, Qt::Key_Return);
    });
    EXPECT_EQ(frmEnterName::ask(&owner), QStringLiteral("Вася Пупки"));
    whenShown<frmEnterName>([](frmEnterName* d) {
        key(d->txtName, Qt::Key_Escape);
        EXPECT_TRUE(d->isVisible());
        d->close();
    });
    EXPECT_EQ(frmEnterName::ask(&owner), std::nullopt);
    whenShown<frmGameOver>([](frmGameOver* d) {
        key(d, Qt::Key_Escape);
        EXPECT_TRUE(d->isVisible());
        d->close();
    });
    EXPECT_FALSE(frmGameOver::ask(&owner));
}

// The records of the main window from the first start, which creates the file, to a "No".
class FirstStart : public testing::MainWindowTest {
  protected:
    void beforeLoad() override { QFile::remove(recordsPath()); }
};

TEST_F(FirstStart, RecordsFromTheFirstStartToAnsweringNo) {
    // The file the first start writes, and the row "No" keeps in it, are the end-to-end records
    // run's to check.
    EXPECT_EQ(w->game.intPlace, 1);
    EXPECT_EQ(w->lblPosition->text(), QStringLiteral("Place # 2"));

    // A grid line in the field: lighter once the game is first.
    const PictureCanvas& field = w->picMorvast->canvas();
    const auto grid = [&] {
        return field.image().pixel(field.toDevice(QRectF(250, 3125, 1, 1)).topLeft());
    };
    EXPECT_EQ(grid(), qRgb(150, 175, 175));
    w->updatePlace(275);
    EXPECT_EQ(grid(), qRgb(200, 200, 210));
    EXPECT_EQ(w->game.intPlace, 0);
    EXPECT_EQ(w->lblPosition->text(), QStringLiteral("Place # 1"));
    EXPECT_EQ(foreColor(w->lblPosition), colour::qbColor(11));
    EXPECT_TRUE(w->lblNextPlace->isHidden() && w->tmrMigMenuControls.isActive());
    EXPECT_EQ(w->recordsWindow()->lstTable->currentRow(), 0);

    w->chkDemo->setChecked(true);
    bool demoStoppedFirst = false;
    whenShown<frmEnterName>([&](frmEnterName* d) {
        demoStoppedFirst = !w->tmrDemo.isActive();
        testing::type(d->txtName, QStringLiteral("Bob"));
        key(d->txtName, Qt::Key_Return);
        whenShown<frmGameOver>([](frmGameOver* g) { g->cmdNo->click(); });
    });
    w->finishGame(275);
    EXPECT_TRUE(demoStoppedFirst);
    EXPECT_EQ(programEnds, 1);
    EXPECT_FALSE(w->tmrDownEnabled());
    EXPECT_EQ(w->records.count(), 2);  // no new game cleared the table
    EXPECT_EQ(w->recordsWindow()->lstTable->item(0)->text(),
              QStringLiteral("1. Bob            275"));
}

// Another copy holds the table's lock past the wait: the window keeps running its timers, and
// the row is written against what that copy wrote meanwhile. Then a request to end the program
// (SIGTERM) ends a wait for a lock that is never let go: the row is written and the window
// closes. That ends this process's event loops for good, so it comes last, and the test runs
// alone in its process, as ctest runs every test.
TEST_F(MainWindowTest, HeldLockIsWaitedOutWithTheWindowAliveAndTerminationEndsTheWait) {
    writeRecords("Zevok\r\n0\r\n");
    w->setRecordsFolder(recordsDir.path(), 400);
    QLockFile other(recordsPath() + QStringLiteral(".lock"));
    ASSERT_TRUE(other.tryLock(0));
    whenShown<frmEnterName>([&](frmEnterName* d) {
        // Fires only if events are processed while the lock is waited for; later, it would
        // overwrite the row written after the wait.
        QTimer::singleShot(100, [&] { writeRecords("Other\r\n 900 \r\nZevok\r\n0\r\n"); });
        testing::type(d->txtName, QStringLiteral("Ann"));
        key(d->txtName, Qt::Key_Return);
        whenShown<frmGameOver>([](frmGameOver* g) { g->cmdNo->click(); });
    });
    w->finishGame(500);
    const QByteArray rows = "Other\r\n 900 \r\nAnn\r\n 500 \r\n";
    EXPECT_EQ(readRecords(), rows + "Zevok\r\n0\r\n");
    EXPECT_EQ(programEnds, 1);

    other.unlock();
    // A pipe at the lock's place is never let go: a wait that did not stop would not end.
    w->setRecordsFolder(recordsDir.path(), std::numeric_limits<int>::max());
    ASSERT_EQ(::mkfifo(QFile::encodeName(recordsPath() + ".lock").constData(), 0666), 0);
    closeOnTermination(w.get());
    whenShown<frmEnterName>([&](frmEnterName* d) {
        QTimer::singleShot(100, [] { std::raise(SIGTERM); });
        key(d->txtName, Qt::Key_Return);
    });
    w->finishGame(300);
    EXPECT_TRUE(terminationRequested());
    EXPECT_EQ(readRecords(), rows + "UnNamed\r\n 300 \r\nZevok\r\n0\r\n");
    EXPECT_FALSE(w->isVisible());
}

// The name of a result that cannot be kept is not asked for; the player learns why once per
// run, in the statistic list, while play goes on.
class UnreadableTable : public testing::MainWindowTest {
  protected:
    void beforeLoad() override {
        QFile::remove(recordsPath());
        ASSERT_TRUE(QDir().mkdir(recordsPath()));
    }
};

TEST_F(UnreadableTable, NoNameIsAskedAndThePlayerIsToldOnce) {
    const auto statistic = [&] { return testing::listTexts(w->statisticWindow()->lstStatistic); };
    const QStringList told = statistic();
    ASSERT_GE(told.size(), 2) << told.join("|").toStdString();  // broken to fit the list
    EXPECT_TRUE(told[0].startsWith(QStringLiteral("...Файл рекордов")))
        << told.join("|").toStdString();
    EXPECT_TRUE(told.join(' ').contains(QStringLiteral("не записываются")));
    const QFontMetrics metrics(w->statisticWindow()->lstStatistic->font());
    for (const QString& line : told)
        EXPECT_LT(metrics.horizontalAdvance(line), w->statisticWindow()->width())
            << line.toStdString();
    EXPECT_EQ(w->records.count(), 1);  // the default row stands in
    EXPECT_TRUE(w->isVisible() && !QApplication::activeModalWidget());

    // Only the game-over question comes (the name is not asked: the end-of-game tests check
    // that); "Yes" starts a new game, which does not tell again.
    whenShown<frmGameOver>([](frmGameOver* g) { g->cmdYes->click(); });
    w->finishGame(5000);
    EXPECT_TRUE(statistic().isEmpty());
}

}  // namespace
}  // namespace morvast
