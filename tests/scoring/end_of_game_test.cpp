#include "scoring/end_of_game.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "scoring/score.h"

namespace morvast {
namespace {

TEST(FinishGame, YesResetsBeforeTheNewGameEmptyNameIsTodayCancelStoresNothing) {
    QTemporaryDir dir;
    RecordsFile file{dir.path()};
    ScoreListener quiet;
    Score score{quiet};
    RecordsTable table;
    QStringList calls, list;
    std::optional<QString> name = QStringLiteral("Ann");
    EndOfGameWindows w;
    w.stopDemo = [&] { calls << "stopDemo"; };
    w.unloadAuxWindows = [&] { calls << "unloadAux"; };
    w.enterName = [&] { return calls << "enterName", name; };
    w.fillRecordsList = [&](const QStringList& l) { calls << "fill", list = l; };
    w.notice = [&](const QString& text) { calls << (text.isEmpty() ? "empty notice" : "notice"); };
    w.gameOver = [&] { return calls << "gameOver", true; };
    w.Form_Load = [&] {
        calls << "Form_Load";
        EXPECT_TRUE(score.lngScore == 0 && score.intSpeed == 0 && table.count() == 0);
    };
    auto finish = [&](int64_t s) {
        FinishGame(s, score, table, file, w, [] { return QStringLiteral("06.12.26"); });
        return list.join('|');
    };

    score.lngScore = 500;
    score.intSpeed = 30;
    EXPECT_EQ(finish(50), QStringLiteral("1. Ann            50|2. Zevok          0"));
    EXPECT_EQ(calls, QStringList({"stopDemo", "unloadAux", "stopDemo", "enterName", "fill",
                                  "gameOver", "Form_Load"}));
    name = QString();  // confirmed empty: today's date
    const QString withDate = finish(10);
    EXPECT_EQ(withDate,
              QStringLiteral("1. Ann            50|2. 06.12.26       10|3. Zevok          0"));
    name.reset();  // closed: nothing stored, not even the date
    EXPECT_EQ(finish(20), withDate);

    // A table that cannot keep the result: no name, the reason before the game-over question.
    QFile::remove(file.path());
    ASSERT_TRUE(QDir().mkdir(file.path()));
    calls.clear();
    finish(30);
    EXPECT_EQ(calls,
              QStringList({"stopDemo", "unloadAux", "fill", "notice", "gameOver", "Form_Load"}));
}

}  // namespace
}  // namespace morvast
