// The end-of-game dialogs and the records kept across them.
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include "gui_fixture.h"
#include "scoring/score.h"
#include "windows/frm_enter_name.h"
#include "windows/frm_game_over.h"
#include "windows/frm_morvas_fathers.h"
#include "windows/records_keeper.h"

namespace morvast {
namespace {

using testing::key;
using testing::whenShown;

TEST(Dialogs, NameIsAtMostTenCharactersEnterConfirmsOnlyTheCloseBoxCancels) {
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
}

TEST(Dialogs, GameOverYesContinuesNoAndTheCloseBoxEnd) {
    testing::app();
    QWidget owner;
    whenShown<frmGameOver>([](frmGameOver* d) {
        key(d, Qt::Key_Escape);
        EXPECT_TRUE(d->isVisible());
        d->cmdYes->click();
    });
    EXPECT_TRUE(frmGameOver::ask(&owner));
    whenShown<frmGameOver>([](frmGameOver* d) { d->cmdNo->click(); });
    EXPECT_FALSE(frmGameOver::ask(&owner));
    whenShown<frmGameOver>([](frmGameOver* d) { d->close(); });
    EXPECT_FALSE(frmGameOver::ask(&owner));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(RecordsKeeper, OneGameFromFirstStartToAnsweringNo) {
    testing::app();
    QTemporaryDir dir;
    QWidget game;
    RecordsKeeper keeper(dir.path(), &game, [] {});
    const PlaceStart start = keeper.gameStart();
    EXPECT_EQ(start.intPlace, 1);
    EXPECT_EQ(start.position, QStringLiteral("Place # 2"));
    EXPECT_EQ(readAll(keeper.file().path()), QByteArray("Zevok\r\n0\r\n"));
    EXPECT_TRUE(keeper.updatePlace(275, start.intPlace).victory);
    EXPECT_EQ(keeper.window()->lstTable->currentRow(), 0);

    ScoreListener quiet;
    Score score(quiet);
    QStringList calls;
    whenShown<frmEnterName>([](frmEnterName* d) {
        testing::type(d->txtName, QStringLiteral("Bob"));
        key(d->txtName, Qt::Key_Return);
        whenShown<frmGameOver>([](frmGameOver* g) { g->cmdNo->click(); });
    });
    const FinishOutcome out =
        keeper.finishGame(275, score, &game,
                          {[&] { calls << "stopDemo"; }, [&] { calls << "unloadAux"; },
                           [&] { calls << "Form_Load"; }, [&] { calls << "end"; }});
    EXPECT_FALSE(out.newGame);
    EXPECT_EQ(calls, QStringList({"stopDemo", "unloadAux", "stopDemo", "end"}));
    // The default row keeps its own spelling; only the new row is written as this copy spells it.
    EXPECT_EQ(readAll(keeper.file().path()), QByteArray("Bob\r\n 275 \r\nZevok\r\n0\r\n"));
    EXPECT_EQ(keeper.window()->lstTable->item(0)->text(), QStringLiteral("1. Bob            275"));
}

}  // namespace
}  // namespace morvast
