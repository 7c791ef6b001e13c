// The help window of the tour: its unrolling, its look and the three ways out of it.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "gui_fixture.h"
#include "windows/forms/frm_help.h"
#include "windows/widgets/win_colour.h"

namespace morvast {
namespace {

using testing::key;
using testing::whenShown;

TEST(Help, UnrollsFromABareCaptionInHundredTwipStepsUntilPast3030) {
    testing::app();
    frmHelp h;
    h.strText = QStringLiteral("Лучшие игроки.");
    h.Form_Load();
    EXPECT_EQ(h.heightTwips(), 0);
    EXPECT_EQ(h.height(), 0);
    EXPECT_EQ(h.txtText->toPlainText(), h.strText);
    EXPECT_TRUE(h.tmrResize->isActive());
    EXPECT_EQ(h.tmrResize->interval(), 15);

    int ticks = 0, last = 0;
    while (h.tmrResize->isActive() && ticks < 100) {
        h.tmrResize_Timer();
        ++ticks;
        EXPECT_EQ(h.heightTwips(), 100 * ticks);
        EXPECT_GE(h.height(), last);
        last = h.height();
    }
    EXPECT_EQ(ticks, 31);
    // 3100 twips high, of which the caption and borders take 330.
    EXPECT_EQ(h.size(), QSize(232, 185));
    EXPECT_EQ(h.txtText->width(), h.width());

    // Every load starts the unrolling again.
    h.Form_Load();
    EXPECT_EQ(h.height(), 0);
    EXPECT_TRUE(h.tmrResize->isActive());
}

TEST(Help, LooksAsDesigned) {
    testing::app();
    frmHelp h;
    EXPECT_EQ(h.windowTitle(), QStringLiteral("Справка"));
    EXPECT_EQ(h.windowType(), Qt::Tool);
    EXPECT_EQ(backColor(&h), 0xFF0000u);

    const QPalette text = h.txtText->palette();
    EXPECT_EQ(text.color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(text.color(QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(h.txtText->font().family(), QStringLiteral("Tahoma"));
    EXPECT_TRUE(h.txtText->font().bold());
    EXPECT_EQ(h.txtText->font().pixelSize(), 12);

    EXPECT_EQ(h.cmdNext->text(), QStringLiteral("Далее"));
    EXPECT_EQ(h.cmdNext->geometry(), QRect(136, 160, 89, 17));
    EXPECT_EQ(h.cmdClose->text(), QStringLiteral("Закрыть"));
    EXPECT_EQ(h.cmdClose->geometry(), QRect(8, 160, 89, 17));
    for (QPushButton* b : {h.cmdNext, h.cmdClose}) {
        EXPECT_EQ(backColor(b), 0x808080u);
        EXPECT_EQ(b->font().family(), QStringLiteral("MS Sans Serif"));
        EXPECT_TRUE(b->font().bold());
    }
}

TEST(Help, NextGoesOnWhileCloseAndTheCloseBoxEndTheTour) {
    testing::app();
    QWidget owner;
    owner.setGeometry(100, 50, 400, 600);
    owner.show();

    frmHelp h;
    h.strText = QStringLiteral("Первый");
    whenShown<frmHelp>([&owner](frmHelp* d) {
        EXPECT_EQ(d->txtText->toPlainText(), QStringLiteral("Первый"));
        EXPECT_TRUE(d->tmrResize->isActive());
        // Centred over the owner as it stands once unrolled.
        EXPECT_EQ(d->geometry().x() + d->width() / 2, owner.geometry().center().x());
        EXPECT_EQ(d->geometry().y() + 2770 / 15 / 2, owner.geometry().center().y());
        key(d, Qt::Key_Escape);
        EXPECT_TRUE(d->isVisible());
        d->cmdNext->click();
    });
    EXPECT_EQ(h.showModal(&owner), HelpAnswer::Next);
    EXPECT_FALSE(h.blnClose);
    EXPECT_FALSE(h.tmrResize->isActive());

    h.strText = QStringLiteral("Второй");
    whenShown<frmHelp>([](frmHelp* d) { d->cmdClose->click(); });
    EXPECT_EQ(h.showModal(&owner), HelpAnswer::Close);
    EXPECT_TRUE(h.blnClose);

    frmHelp boxed;
    whenShown<frmHelp>([](frmHelp* d) { d->windowHandle()->close(); });
    EXPECT_EQ(boxed.showModal(&owner), HelpAnswer::CloseBox);
    EXPECT_TRUE(boxed.blnClose);
    EXPECT_FALSE(boxed.isVisible());
}

}  // namespace
}  // namespace morvast
