// The help window, and the help tour: the records text, then every control in the window's
// control order, each painted blue while its text is shown; Next, Close and the close box.
#include <set>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWindow>

#include "gui_fixture.h"
#include "windows/forms/frm_enter_name.h"
#include "windows/forms/frm_game_over.h"
#include "windows/forms/frm_help.h"
#include "windows/forms/frm_morvas_fathers.h"

namespace morvast {
namespace {

using testing::MainWindowTest;

using colour::kBlue;

TEST(Help, LooksAsDesignedAndUnrollsInHundredTwipStepsUntilPast3030) {
    testing::app();
    frmHelp h;  // the text it shows is checked with the tour's showings
    h.Form_Load();
    EXPECT_EQ(h.height(), 0);
    EXPECT_EQ(h.tmrResize->interval(), 15);

    int ticks = 0;
    while (h.tmrResize->isActive() && ticks < 100) {
        h.tmrResize_Timer();
        EXPECT_EQ(h.heightTwips(), 100 * ++ticks);
    }
    EXPECT_EQ(ticks, 31);
    // 3100 twips high, of which the caption and borders take 330.
    EXPECT_EQ(h.size(), QSize(232, 185));
    EXPECT_EQ(h.txtText->width(), h.width());

    // Every load starts the unrolling again.
    h.Form_Load();
    EXPECT_EQ(h.height(), 0);
    EXPECT_TRUE(h.tmrResize->isActive());

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
    testing::whenShown<frmHelp>([&owner](frmHelp* d) {
        EXPECT_EQ(d->txtText->toPlainText(), QStringLiteral("Первый"));
        EXPECT_TRUE(d->tmrResize->isActive());
        // Centred over the owner as it stands once unrolled.
        EXPECT_EQ(d->geometry().x() + d->width() / 2, owner.geometry().center().x());
        EXPECT_EQ(d->geometry().y() + 2770 / 15 / 2, owner.geometry().center().y());
        testing::key(d, Qt::Key_Escape);
        EXPECT_TRUE(d->isVisible());
        d->cmdNext->click();
    });
    EXPECT_EQ(h.showModal(&owner), HelpAnswer::Next);
    EXPECT_FALSE(h.blnClose);
    EXPECT_FALSE(h.tmrResize->isActive());

    h.strText = QStringLiteral("Второй");
    testing::whenShown<frmHelp>([](frmHelp* d) { d->cmdClose->click(); });
    EXPECT_EQ(h.showModal(&owner), HelpAnswer::Close);
    EXPECT_TRUE(h.blnClose);

    frmHelp boxed;
    testing::whenShown<frmHelp>([](frmHelp* d) { d->windowHandle()->close(); });
    EXPECT_EQ(boxed.showModal(&owner), HelpAnswer::CloseBox);
    EXPECT_TRUE(boxed.blnClose);
    EXPECT_FALSE(boxed.isVisible());
}

const QString kRecordsText = QStringLiteral(
    "Лучшие игроки. Если запустить Morvast XII VelkNET.exe на удаленном компьютере, то и "
    "результат запишется в таблицу рекордов на удаленном компьютере. Чтобы очистить таблицу надо "
    "удалить файл MorvastFathers.txt ( он в папке с Morvast'ом ).");

class HelpTour : public MainWindowTest {
  protected:
    // What shows: a picture's canvas, any other control's background.
    static QRgb shownColour(QWidget* c) {
        if (auto* p = qobject_cast<PictureBox*>(c)) return p->canvas().image().pixel(1, 1);
        return colour::toQRgb(backColor(c));
    }
    QRgb tableBase() const {
        return w->recordsWindow()->lstTable->palette().color(QPalette::Base).rgb();
    }
    // Answers the showings in turn, the last answer for all the rest; records the texts and
    // which tour controls were blue at each showing.
    void answer(std::vector<HelpAnswer> answers) {
        w->setHelpAnswerer([this, answers](frmHelp& h) mutable {
            texts << h.strText;
            tableRed.push_back(tableBase() == colour::toQRgb(colour::kRed));
            std::vector<QWidget*> blue;
            for (QWidget* c : w->tourControls())
                if (shownColour(c) == colour::toQRgb(kBlue)) blue.push_back(c);
            blues.push_back(blue);
            const HelpAnswer a = answers.front();
            if (answers.size() > 1) answers.erase(answers.begin());
            return a;
        });
    }
    std::map<QWidget*, QRgb> colours() const {
        std::map<QWidget*, QRgb> m;
        for (QWidget* c : w->tourControls())
            m[c] = shownColour(c);
        return m;
    }
    void expectTourEnded() {
        EXPECT_FALSE(w->chkHelp->isChecked());
        EXPECT_TRUE(w->picMorvast->hasFocus());
        EXPECT_NE(tableBase(), colour::toQRgb(colour::kRed));
    }

    QStringList texts;
    std::vector<bool> tableRed;
    std::vector<std::vector<QWidget*>> blues;
};

TEST_F(HelpTour, NextToTheEndShowsEveryControlBlueInTurnAndGivesItsColourBack) {
    // Every control with a help text is on the tour, but for the two the tour passes over.
    std::set<QWidget*> tagged;
    for (QWidget* c : w->findChildren<QWidget*>())
        if (!c->property("Tag").toString().isEmpty()) tagged.insert(c);
    const std::vector<QWidget*> controls = w->tourControls();
    // The window's control order, the one place it is written out in the tests.
    const QStringList kControlOrder = {
        "picMorvast",       "fraControl",       "cmdDown",          "cmdLeftRight(2)",
        "cmdLeftRight(0)",  "cmdRotate(0)",     "cmdSpace",         "lblPause",
        "frmMenu",          "chkMP3",           "chkExit",          "chkFuture",
        "chkAuto",          "chkStat",          "chkRec",           "chkSet",
        "chkDemo",          "chkHelp",          "chkPause",         "fraScore",
        "lblScore",         "fraLines",         "lblCountLines(1)", "lblCountLines(2)",
        "lblCountLines(3)", "lblCountLines(4)", "picNext",          "lblFirma",
        "lblSumBonus",      "lblLevel",         "lblPosition",      "lblRemain",
        "lblNextPlace",     "lblAutors",        "lblTimeBonus",     "lblTotalScore"};
    QStringList names;
    for (QWidget* c : controls)
        names << c->objectName();
    EXPECT_EQ(names.join(' ').toStdString(), kControlOrder.join(' ').toStdString());
    std::set<QWidget*> toured(controls.begin(), controls.end());
    toured.insert({w->lblTotal, w->lblHeightBonus});
    EXPECT_EQ(tagged, toured);

    const auto before = colours();
    answer({HelpAnswer::Next});
    // The step sounds: 1 + 0.0 * 6, 1 + 0.99 * 6 and 1 + 0.5 * 6, rounded; then the generator's.
    rnd.queued = {0.0, 0.99, 0.5};
    QTest::mouseClick(w->chkHelp, Qt::LeftButton);

    ASSERT_EQ(texts.size(), controls.size() + 1);
    for (size_t i = 0; i < controls.size(); ++i) {
        SCOPED_TRACE(controls[i]->objectName().toStdString());
        EXPECT_EQ(texts[i + 1], controls[i]->property("Tag").toString());
        EXPECT_EQ(blues[i + 1], std::vector<QWidget*>{controls[i]});
        EXPECT_FALSE(tableRed[i + 1]);
    }
    EXPECT_EQ(colours(), before);
    ASSERT_EQ(sound.played.size(), controls.size() + 1);
    using S = SoundEffect;
    EXPECT_EQ(std::vector<S>(sound.played.begin(), sound.played.begin() + 3),
              std::vector<S>({S::Morvast, S::DelLin, S::Right}));
    // The field was drawn again after its step: the grid and the falling figure.
    const PictureCanvas& c = w->picMorvast->canvas();
    EXPECT_NE(c.image().pixel(c.toDevice(QRectF(1000, 3000, 1, 1)).topLeft()), qRgb(0, 0, 0));
    EXPECT_TRUE(figureShown());
    // The tour leaves the game running.
    EXPECT_TRUE(w->tmrDownEnabled());
    expectTourEnded();
}

TEST_F(HelpTour, TheCloseBoxMidwayOrCloseOnTheRecordsTextEndsTheTourAndGivesTheColoursBack) {
    const QRgb tableBefore = tableBase();
    const auto before = colours();
    // Records text, field, Control frame, then the close box on the drop button.
    answer({HelpAnswer::Next, HelpAnswer::Next, HelpAnswer::Next, HelpAnswer::CloseBox});
    QTest::mouseClick(w->chkHelp, Qt::LeftButton);
    ASSERT_EQ(texts.size(), 4);
    EXPECT_EQ(blues[3], std::vector<QWidget*>{w->cmdDown});
    EXPECT_EQ(backColor(w->cmdDown), w->lngButtonColor);
    EXPECT_EQ(colours(), before);
    EXPECT_EQ(sound.played.size(), 4u);
    expectTourEnded();

    // A new tour starts from the records text again, with the table red and no control blue.
    texts.clear(), tableRed.clear(), blues.clear(), sound.played.clear();
    answer({HelpAnswer::Close});
    rnd.queued = {0.0};
    QTest::mouseClick(w->chkHelp, Qt::LeftButton);
    EXPECT_EQ(texts, QStringList{kRecordsText});
    EXPECT_TRUE(tableRed[0] && blues[0].empty());
    EXPECT_EQ(tableBase(), tableBefore);
    EXPECT_EQ(colours(), before);
    EXPECT_EQ(sound.played, std::vector<SoundEffect>{SoundEffect::Morvast});
    expectTourEnded();
}

// With the real modal window: the game runs on behind it, and its end unloads the help window
// and ends the tour; the new game goes on without it, in its own steering colour.
TEST_F(HelpTour, TheEndOfAGameBehindTheHelpWindowEndsTheTour) {
    const uint32_t oldColour = w->lngButtonColor;
    int showings = 0;
    // Next on the records text, the field and the Control frame; the game ends during the
    // step of the drop button.
    std::function<void(frmHelp*)> step = [&](frmHelp* h) {
        if (++showings < 4) {
            h->cmdNext->click();
            return testing::whenShown<frmHelp>(step);
        }
        EXPECT_EQ(backColor(w->cmdDown), kBlue);
        testing::whenShown<frmEnterName>([this](frmEnterName* d) {
            testing::key(d->txtName, Qt::Key_Return);
            testing::whenShown<frmGameOver>([this](frmGameOver* g) {
                // The new game stirs one draw away, then draws its colour: dark red.
                rnd.queued = {0.5, 0.2};
                g->cmdYes->click();
            });
        });
        fillToTheTop();
        const int figures = w->game.score.intFigures;
        for (int i = 0; i < 400 && w->game.score.intFigures == figures; ++i)
            w->tmrDown_Timer();
        EXPECT_FALSE(h->isVisible());
    };
    testing::whenShown<frmHelp>(step);
    QTest::mouseClick(w->chkHelp, Qt::LeftButton);
    EXPECT_EQ(showings, 4);
    EXPECT_EQ(w->lblScore->text(), QStringLiteral("---"));
    EXPECT_FALSE(w->game.ended() || w->game.C[10][20]);
    EXPECT_EQ(w->picMorvast->background(), colour::kBlack);
    ASSERT_EQ(w->lngButtonColor, colour::qbColor(4));
    ASSERT_NE(oldColour, colour::qbColor(4));
    for (QPushButton* b : w->steeringButtons())
        EXPECT_EQ(backColor(b), w->lngButtonColor) << b->objectName().toStdString();
    EXPECT_FALSE(w->chkHelp->isChecked());
}

}  // namespace
}  // namespace morvast
