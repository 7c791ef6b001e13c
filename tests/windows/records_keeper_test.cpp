#include "windows/records_keeper.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "gui_helpers.h"
#include "scoring/score.h"
#include "windows/frm_enter_name.h"
#include "windows/frm_game_over.h"
#include "windows/frm_morvas_fathers.h"

namespace morvast {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(RecordsKeeperTest, OneGameFromFirstStartToAnsweringNo) {
    QTemporaryDir dir;
    QWidget game;
    RecordsKeeper keeper(dir.path(), &game, [] {});

    const PlaceStart start = keeper.gameStart();
    EXPECT_EQ(start.intPlace, 1);
    EXPECT_EQ(start.position, QStringLiteral("Place # 2"));
    EXPECT_EQ(readAll(keeper.file().path()), QByteArray("Zevok\r\n0\r\n"));
    EXPECT_EQ(keeper.window()->lstTable->item(0)->text(), QStringLiteral("1. Zevok          0"));

    const PlaceUpdate u = keeper.updatePlace(275, start.intPlace);
    EXPECT_TRUE(u.victory);
    EXPECT_EQ(keeper.window()->lstTable->currentRow(), 0);

    ScoreListener quiet;
    Score score(quiet);
    QStringList calls;
    testing::whenShown<frmEnterName>([](frmEnterName* d) {
        testing::type(d->txtName, QStringLiteral("Bob"));
        testing::key(d->txtName, Qt::Key_Return);
        testing::whenShown<frmGameOver>([](frmGameOver* g) { g->cmdNo->click(); });
    });
    const FinishOutcome out =
        keeper.finishGame(275, score, &game,
                          {[&] { calls << "stopDemo"; }, [&] { calls << "unloadAux"; },
                           [&] { calls << "Form_Load"; }, [&] { calls << "end"; }});
    EXPECT_FALSE(out.newGame);
    EXPECT_EQ(calls, QStringList({"stopDemo", "unloadAux", "stopDemo", "end"}));
    EXPECT_EQ(readAll(keeper.file().path()), QByteArray("Bob\r\n 275 \r\nZevok\r\n 0 \r\n"));
    ASSERT_EQ(keeper.window()->lstTable->count(), 2);
    EXPECT_EQ(keeper.window()->lstTable->item(0)->text(), QStringLiteral("1. Bob            275"));
}

}  // namespace
}  // namespace morvast
