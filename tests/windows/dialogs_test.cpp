// The end-of-game dialogs and the records window, on the offscreen platform.
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "gui_helpers.h"
#include "windows/frm_enter_name.h"
#include "windows/frm_game_over.h"
#include "windows/frm_morvas_fathers.h"

namespace morvast {
namespace {

using testing::key;
using testing::whenShown;

TEST(frmEnterNameTest, TypingReplacesUnNamedEnterConfirmsOnlyTheCloseBoxCancels) {
    QWidget owner;
    whenShown<frmEnterName>([](frmEnterName* d) {
        EXPECT_EQ(d->size(), QSize(161, 95));
        EXPECT_EQ(d->lblEnterName->text(), QStringLiteral("Введите Ваше имя"));
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

TEST(frmGameOverTest, YesContinuesNoAndTheCloseBoxEnd) {
    QWidget owner;
    whenShown<frmGameOver>([](frmGameOver* d) {
        EXPECT_EQ(d->size(), QSize(178, 91));
        EXPECT_EQ(d->lblNewGame->text(), QStringLiteral("Начать новую игру ?"));
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

TEST(frmMorvasFathersTest, KeepsNoKeyboardAndItsCloseBoxOnlyHides) {
    QWidget game;
    game.setFocusPolicy(Qt::StrongFocus);
    game.show();
    int userCloses = 0;
    frmMorvasFathers w(&game, [&] { ++userCloses; });
    w.setRecordsList({"1. A              3", "2. B              2"});
    w.show();
    EXPECT_EQ(w.lstTable->geometry(), QRect(0, 0, 198, 189));
    EXPECT_TRUE(QFontInfo(w.lstTable->font()).fixedPitch());
    w.setListIndex(1);
    EXPECT_TRUE(w.lstTable->item(1)->isSelected());

    w.activateWindow();
    w.lstTable->setFocus();
    // The hand-back is deferred until the focus change under way has finished.
    for (int i = 0; i < 20 && QApplication::focusWidget() != &game; ++i)
        QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), &game);

    EXPECT_FALSE(w.close());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(userCloses, 1);
    w.show();
    EXPECT_EQ(w.lstTable->item(1)->text(), QStringLiteral("2. B              2"));
    w.unloadByProgram();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(userCloses, 1);
}

}  // namespace
}  // namespace morvast
