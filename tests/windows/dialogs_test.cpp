// The end-of-game dialogs and the records window, on the offscreen platform.
#include <QApplication>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "gui_helpers.h"
#include "windows/frm_enter_name.h"
#include "windows/frm_game_over.h"
#include "windows/frm_morvas_fathers.h"

namespace morvast {
namespace {

using testing::key;
using testing::type;
using testing::whenShown;

TEST(frmEnterNameTest, SuggestsUnNamedSelectedSoTypingReplacesItAndEnterConfirms) {
    QWidget owner;
    whenShown<frmEnterName>([](frmEnterName* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Morvast XII VelkNET"));
        EXPECT_EQ(d->size(), QSize(161, 95));
        EXPECT_EQ(d->lblEnterName->text(), QStringLiteral("Введите Ваше имя"));
        EXPECT_EQ(d->txtName->selectedText(), QStringLiteral("UnNamed"));
        type(d->txtName, QStringLiteral("Вася"));
        key(d->txtName, Qt::Key_Return);
    });
    EXPECT_EQ(frmEnterName::ask(&owner), QStringLiteral("Вася"));
}

TEST(frmEnterNameTest, KeepsTenCharactersAndOnlyTheCloseBoxCancels) {
    QWidget owner;
    whenShown<frmEnterName>([](frmEnterName* d) {
        type(d->txtName, QStringLiteral("abcdefghijkl"));
        EXPECT_EQ(d->txtName->text(), QStringLiteral("abcdefghij"));
        key(d->txtName, Qt::Key_Escape);
        EXPECT_TRUE(d->isVisible());
        d->close();
    });
    EXPECT_EQ(frmEnterName::ask(&owner), std::nullopt);

    // An emptied box is a confirmed empty name, not a cancel.
    whenShown<frmEnterName>([](frmEnterName* d) {
        d->txtName->clear();
        d->cmdOk->click();
    });
    EXPECT_EQ(frmEnterName::ask(&owner), QString());
}

TEST(frmGameOverTest, YesContinuesNoAndTheCloseBoxEnd) {
    QWidget owner;
    whenShown<frmGameOver>([](frmGameOver* d) {
        EXPECT_EQ(d->size(), QSize(178, 91));
        EXPECT_EQ(d->lblGameOver->text(), QStringLiteral("Game Over !"));
        EXPECT_EQ(d->lblNewGame->text(), QStringLiteral("Начать новую игру ?"));
        EXPECT_EQ(d->cmdNo->text(), QStringLiteral("Нет"));
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

TEST(frmMorvasFathersTest, CloseBoxHidesAndReportsWhileTheProgramReallyCloses) {
    QWidget game;
    int userCloses = 0;
    frmMorvasFathers w(&game, [&] { ++userCloses; });
    w.setRecordsList({"1. Ann            1234", "2. Zevok          0"});
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("The Best Of The Morvast"));
    EXPECT_EQ(w.size(), QSize(198, 189));
    EXPECT_EQ(w.lstTable->geometry(), w.rect());
    EXPECT_TRUE(QFontInfo(w.lstTable->font()).fixedPitch());

    EXPECT_FALSE(w.close());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(userCloses, 1);
    w.show();
    EXPECT_EQ(w.lstTable->count(), 2);
    EXPECT_EQ(w.lstTable->item(0)->text(), QStringLiteral("1. Ann            1234"));

    w.unloadByProgram();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(userCloses, 1);
}

TEST(frmMorvasFathersTest, HandsTheKeyboardBackAndMarksThePassedRow) {
    QWidget game;
    game.setFocusPolicy(Qt::StrongFocus);
    game.show();
    frmMorvasFathers w(&game, [] {});
    w.setRecordsList({"1. A              3", "2. B              2", "3. C              1"});
    w.show();
    w.setListIndex(1);
    EXPECT_EQ(w.lstTable->currentRow(), 1);
    EXPECT_TRUE(w.lstTable->item(1)->isSelected());

    w.activateWindow();
    w.lstTable->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(w.lstTable->hasFocus());
    EXPECT_EQ(QApplication::focusWidget(), &game);
}

}  // namespace
}  // namespace morvast
