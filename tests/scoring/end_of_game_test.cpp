#include "scoring/end_of_game.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "scoring/score.h"

namespace morvast {
namespace {

class FinishGameTest : public ::testing::Test {
  protected:
    FinishGameTest() {
        w.stopDemo = [this] { calls << "stopDemo"; };
        w.unloadAuxWindows = [this] { calls << "unloadAux"; };
        w.enterName = [this] { return calls << "enterName", name; };
        w.fillRecordsList = [this](const QStringList& l) { calls << "fill", list = l; };
        w.gameOver = [this] { return calls << "gameOver", again; };
        w.Form_Load = [this] {
            calls << "Form_Load";
            EXPECT_EQ(score.lngScore, 0);
            EXPECT_EQ(score.intSpeed, 0);
            EXPECT_EQ(table.count(), 0);
        };
        w.endProgram = [this] { calls << "end"; };
    }
    std::optional<QString> finish(int64_t s) {
        FinishGame(s, score, table, file, w, [] { return QStringLiteral("06.12.26"); });
        return list.isEmpty() ? std::nullopt : std::optional(list.first());
    }

    QTemporaryDir dir;
    RecordsFile file{dir.path()};
    ScoreListener quiet;
    Score score{quiet};
    RecordsTable table;
    EndOfGameWindows w;
    QStringList calls, list;
    std::optional<QString> name = QStringLiteral("Ann");
    bool again = true;
};

TEST_F(FinishGameTest, YesResetsScoreSpeedAndTableThenStartsANewGame) {
    score.lngScore = 500;
    score.intSpeed = 30;
    EXPECT_EQ(finish(50), QStringLiteral("1. Ann            50"));
    EXPECT_EQ(calls, QStringList({"stopDemo", "unloadAux", "stopDemo", "enterName", "fill",
                                  "gameOver", "Form_Load"}));
}

TEST_F(FinishGameTest, EmptyNameIsTodaysDateAndCancelInsertsNothing) {
    name = QString();
    EXPECT_EQ(finish(10), QStringLiteral("1. 06.12.26       10"));
    name.reset();
    EXPECT_EQ(finish(20), QStringLiteral("1. 06.12.26       10"));
}

}  // namespace
}  // namespace morvast
