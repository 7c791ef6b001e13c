// The end-of-game dialogs and the records kept across them.
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "gui_fixture.h"
#include "windows/frm_enter_name.h"
#include "windows/frm_game_over.h"
#include "windows/frm_morvas_fathers.h"
#include "windows/win_colour.h"

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

// The records of the main window from the first start, which creates the file, to a "No".
class FirstStart : public testing::MainWindowTest {
  protected:
    void beforeLoad() override { QFile::remove(recordsPath()); }
};

TEST_F(FirstStart, RecordsFromTheFirstStartToAnsweringNo) {
    EXPECT_EQ(readRecords(), QByteArray("Zevok\r\n0\r\n"));
    EXPECT_EQ(w->game.intPlace, 1);
    EXPECT_EQ(w->lblPosition->text(), QStringLiteral("Place # 2"));

    w->updatePlace(275);
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
    // The default row keeps its own spelling; only the new row is written as this copy spells it.
    EXPECT_EQ(readRecords(), QByteArray("Bob\r\n 275 \r\nZevok\r\n0\r\n"));
    EXPECT_EQ(w->recordsWindow()->lstTable->item(0)->text(),
              QStringLiteral("1. Bob            275"));
}

}  // namespace
}  // namespace morvast
