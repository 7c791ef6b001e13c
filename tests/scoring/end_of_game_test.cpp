#include "scoring/end_of_game.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "scoring/score.h"

namespace morvast {
namespace {

// Records every window call in order and answers the two dialogs as told.
struct FakeWindows {
    QStringList calls;
    std::optional<QString> name = QStringLiteral("Ann");
    bool again = false;
    QStringList list;

    EndOfGameWindows hooks() {
        EndOfGameWindows w;
        w.stopDemo = [this] { calls << "stopDemo"; };
        w.unloadAuxWindows = [this] { calls << "unloadAux"; };
        w.enterName = [this] {
            calls << "enterName";
            return name;
        };
        w.fillRecordsList = [this](const QStringList& lines) {
            calls << "fill";
            list = lines;
        };
        w.gameOver = [this] {
            calls << "gameOver";
            return again;
        };
        w.Form_Load = [this] { calls << "Form_Load"; };
        w.endProgram = [this] { calls << "end"; };
        return w;
    }
};

class FinishGameTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    RecordsFile file{dir.path()};
    ScoreListener quiet;
    Score score{quiet};
    RecordsTable table;
    FakeWindows win;
    std::function<QString()> today = [] { return QStringLiteral("06.12.2026"); };

    QByteArray fileBytes() {
        QFile f(file.path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(FinishGameTest, NoEndsTheProgramAfterTheRowIsWrittenAndTheListRefilled) {
    score.lngScore = 12340;
    score.intSpeed = 45;
    const FinishOutcome out = FinishGame(1234, score, table, file, win.hooks(), today);
    EXPECT_EQ(win.calls, QStringList({"stopDemo", "unloadAux", "stopDemo", "enterName", "fill",
                                      "gameOver", "end"}));
    EXPECT_FALSE(out.newGame);
    EXPECT_EQ(fileBytes(), QByteArray("Ann\r\n 1234 \r\nZevok\r\n 0 \r\n"));
    EXPECT_EQ(win.list, QStringList({"1. Ann            1234", "2. Zevok          0"}));
    // Nothing is reset on the way out.
    EXPECT_EQ(score.lngScore, 12340);
    EXPECT_EQ(table.count(), 2);
}

TEST_F(FinishGameTest, YesResetsScoreSpeedAndTableBeforeTheNewGame) {
    win.again = true;
    score.lngScore = 500;
    score.intSpeed = 30;
    EndOfGameWindows w = win.hooks();
    w.Form_Load = [&] {
        win.calls << "Form_Load";
        EXPECT_EQ(score.lngScore, 0);
        EXPECT_EQ(score.intSpeed, 0);
        EXPECT_EQ(table.count(), 0);
    };
    EXPECT_TRUE(FinishGame(50, score, table, file, w, today).newGame);
    EXPECT_EQ(win.calls.last(), QStringLiteral("Form_Load"));
    EXPECT_FALSE(win.calls.contains("end"));
}

TEST_F(FinishGameTest, EmptyNameBecomesTodaysDateAndCancelStoresNothing) {
    win.name = QString();
    FinishGame(10, score, table, file, win.hooks(), today);
    EXPECT_EQ(table.colNames.first(), QStringLiteral("06.12.2026"));

    win.name.reset();
    const FinishOutcome out = FinishGame(20, score, table, file, win.hooks(), today);
    EXPECT_TRUE(out.record.cancelled);
    EXPECT_EQ(fileBytes(), QByteArray("06.12.2026\r\n 10 \r\nZevok\r\n 0 \r\n"));
}

TEST_F(FinishGameTest, FullTableAndLowScoreGoStraightToTheGameOverDialog) {
    RecordsTable full;
    for (int i = 0; i < 99; ++i)
        full.append(QStringLiteral("p%1").arg(i), 1000 - i);
    ASSERT_TRUE(file.WriteRecords(full));
    FinishGame(902, score, table, file, win.hooks(), today);
    EXPECT_EQ(win.calls, QStringList({"stopDemo", "unloadAux", "fill", "gameOver", "end"}));
    EXPECT_EQ(win.list.size(), 99);
}

}  // namespace
}  // namespace morvast
