// The main window as a player meets it: its design, steering by keys and by clicks, what the
// field shows, and the end of a game.
#include <set>

#include <QLineEdit>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTest>

#include "gui_fixture.h"
#include "windows/widgets/falling_clock.h"
#include "windows/forms/frm_enter_name.h"
#include "windows/forms/frm_game_over.h"
#include "windows/forms/frm_statistic.h"

namespace morvast {
namespace {

using testing::MainWindowTest;

TEST_F(MainWindowTest, ControlsFollowTheDesignAndLoadSetsUpAFreshPanel) {
    // Geometry in twips; caption nullptr and colour -1: not checked; tag: the whole help text,
    // nullptr for a text of the control's own choosing. The four frames on the window and the
    // five strips are placed by the outline test, which cuts the window to them.
    struct Row {
        QWidget *control, *container;
        int l, t, w, h;
        const char* caption;
        int64_t fore;
        const char* tag;
    };
    const uint32_t pale = 0xFFFFC0;
    const Row rows[] = {
        {w->picMorvast, w->fraMorvast, 120, 240, 3495, 6495, nullptr, -1,
         "Удаляются только полностью заполненные горизонтальные линии. Одной фигуркой можно "
         "удалить от 1 до 4 линий."},
        {w->fraControl, w->fraBottom, 120, 120, 1935, 975, "Control", 0x0000FF,
         "Управление - стрелочными клавишами ( мышкой их тоже можно нажимать )."},
        {w->cmdDown, w->fraControl, 720, 480, 492, 225, "V", -1, "Бросить фигурку - Стрелка Вниз."},
        {w->cmdLeftRight[0], w->fraControl, 120, 480, 615, 195, "<", -1,
         "Перемещение фигурки влево - Стрелка Влево."},
        {w->cmdLeftRight[2], w->fraControl, 1200, 480, 615, 195, ">", -1,
         "Перемещение фигурки вправо - Стрелка Вправо."},
        {w->cmdRotate, w->fraControl, 720, 240, 495, 225, "^", -1,
         "Вращение фигурки - Стрелка Вверх."},
        {w->cmdSpace, w->fraControl, 480, 720, 975, 195, "", -1,
         "Инверсия - Пробел. Заполненные квадратики становятся пустыми, пустые - заполненными."},
        {w->frmMenu, w->fraBottomRight, 120, 120, 3015, 975, "Menu", 0x00FFFF,
         "Это меню. При продвижении по таблице кнопки в Меню начинают мигать."},
        {w->chkPause, w->frmMenu, 0, 240, 615, 255, "Pause", pale,
         "Пауза - Клавиша ESC. При нажатии ESC все окна свернутся."},
        {w->chkHelp, w->frmMenu, 600, 240, 615, 255, "Help", pale, "Вызов справки."},
        {w->chkDemo, w->frmMenu, 1200, 240, 615, 255, "Demo", pale,
         "Обучающий видеоролик ( пример ужасной игры )."},
        {w->chkSet, w->frmMenu, 1800, 240, 615, 255, "Set", pale,
         "Hастройка музыкального сопровождения, отображения фантома и т.д."},
        {w->chkExit, w->frmMenu, 2400, 240, 615, 255, "Exit", pale, "Выход из игры."},
        {w->chkAuto, w->frmMenu, 0, 600, 615, 255, "Auto", pale,
         "Автоматическая пристыковка окон The Best Of The Morvast, Future, Statistic  и *.mp3 & "
         "*.wma Player."},
        {w->chkFuture, w->frmMenu, 600, 600, 615, 255, "Future", pale,
         "Показать/скрыть расширенную подсказку ( окно Future )."},
        {w->chkRec, w->frmMenu, 1200, 600, 615, 255, "Best", pale,
         "Показать/скрыть таблицу рекордов ( окно The Best Of The Morvast )."},
        {w->chkStat, w->frmMenu, 1800, 600, 615, 255, "Stat", pale,
         "Показать/скрыть статистику ( окно Statistic )."},
        {w->chkMP3, w->frmMenu, 2400, 600, 615, 255, "MP3", pale,
         "Показать/скрыть *.mp3 & *.wma Player."},
        {w->lblLevel, w->fraLeft, 240, 240, 1935, 495, "Level # 0", -1,
         "Уровень сложности ( Скорость игры ). Инкрементирует ( увеличивается ) после каждых "
         "девяти удаленных линий."},
        {w->lblRemain, w->fraLeft, 120, 840, 2175, 375, "", 0x8080FF,
         "Число линий, которые надо удалить чтобы  перейти на следующий уровень."},
        {w->fraScore, w->fraLeft, 240, 1320, 1932, 735, "Score", 0x00FFFF, "Текущий счет."},
        {w->lblScore, w->fraScore, 120, 240, 1695, 375, "---", 0x00FFFF,
         "Текущий счет. В окне Statistic приведена полная информация о том, как получена эта "
         "цифра."},
        {w->lblSumBonus, w->fraLeft, 120, 2160, 2175, 255, "", 0x0000FF,
         "Суммарный бонус за Morvast-фигурки."},
        {w->picNext, w->fraLeft, 600, 2520, 1155, 1155, nullptr, -1,
         "Здесь обычно изображена следующая фигурка."},
        {w->lblAutors, w->fraLeft, 120, 2760, 255, 495, "", 0x0000C0, nullptr},
        {w->lblFirma, w->fraLeft, 360, 3720, 1695, 375, nullptr, -1,
         "Бонус ( до 5000 ) за показанную Morvast-фигурку. Есть супер-фигурка :  Morvast - "
         "выпадает очень редко, а бонус за нее - 25000."},
        {w->fraLines, w->fraLeft, 120, 4200, 2175, 1335, "Lines Bonus", 0xFF8080,
         "Чем больше линий одновременно удалено, тем больше бонус."},
        {w->lblCountLines[1], w->fraLines, 120, 240, 1935, 255, "", 0x00FFFF,
         "За одну удаленную линию бонус - 275."},
        {w->lblCountLines[2], w->fraLines, 120, 480, 1935, 255, "", 0x00FFFF,
         "За две одновременно удаленные линии бонус - 800."},
        {w->lblCountLines[3], w->fraLines, 120, 720, 1935, 255, "", 0x00FFFF,
         "За три одновременно удаленные линии бонус - 2225."},
        {w->lblCountLines[4], w->fraLines, 120, 960, 1935, 255, "", 0x00FFFF,
         "За четыре одновременно удаленные линии бонус - 5000."},
        {w->lblPosition, w->fraLeft, 120, 5640, 2175, 255, "Place # 1", -1,
         "Ваше текущее место в таблице."},
        {w->lblNextPlace, w->fraLeft, 120, 5880, 2175, 255, "", -1,
         "Сколько очков до следующего места в таблице."},
        {w->lblHeightBonus, w->fraLeft, 360, 6240, 1095, 255, "Time Bonus :", -1,
         "Этот бонус зависит от времени."},
        {w->lblTimeBonus, w->fraLeft, 1560, 6240, 735, 255, nullptr, -1,
         "Бонус за время. Чем быстрее Вы бросите фигурку, тем больше будет бонус."},
        {w->lblTotal, w->fraLeft, 360, 6480, 975, 255, "Total :", -1, "Суммарный бонус за время."},
        {w->lblTotalScore, w->fraLeft, 1560, 6480, 735, 255, nullptr, -1,
         "Суммарный бонус за время."},
    };
    const auto px = [](int twips) { return static_cast<int>(std::lround(twips / 15.0)); };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.control->objectName().toStdString());
        EXPECT_EQ(r.control->parentWidget(), r.container);
        EXPECT_EQ(r.control->geometry(), QRect(px(r.l), px(r.t), px(r.w), px(r.h)));
        if (r.caption) {
            EXPECT_EQ(testing::caption(r.control).toStdString(), r.caption);
        }
        if (r.fore >= 0) {
            EXPECT_EQ(foreColor(r.control), static_cast<uint32_t>(r.fore));
        }
        const QString tag = r.control->property("Tag").toString();
        if (r.tag) {
            EXPECT_EQ(tag.toStdString(), r.tag);
        } else {
            EXPECT_FALSE(tag.isEmpty());
        }
    }
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(backColor(w->chkExit), 0x004080u);  // brown top row of the menu
    EXPECT_EQ(backColor(w->chkMP3), 0x000000u);
    // The fresh game: colours drawn in load order, the pause caption under the steering frame.
    EXPECT_EQ(w->lngButtonColor, colour::qbColor(8));
    EXPECT_EQ(foreColor(w->lblNextPlace), colour::rgb(155, 205, 150));
    EXPECT_EQ(foreColor(w->lblTotalScore), colour::rgb(180, 205, 230));
    EXPECT_EQ(w->lblPause->pos(), w->fraControl->pos());
    EXPECT_FALSE(w->lblFirma->isVisible());  // the first next figure is an ordinary one
    // The falling clock's own tick length is checked with the clock.
    EXPECT_TRUE(w->tmrDownEnabled());
    for (auto [timer, ms] : {std::pair{&w->tmrMigMenuControls, 100},
                             {&w->tmrDemo, 500},
                             {&w->tmrLevel, 100},
                             {&w->tmrMigCountLines, 250}}) {
        EXPECT_EQ(timer->interval(), ms);
        EXPECT_FALSE(timer->isActive());
    }
    // A draw just below 1 gives the last colour, never one past it (black).
    rnd.queued = {0.5, 0.9999999};
    w->Form_Load();
    EXPECT_EQ(w->lngButtonColor, colour::qbColor(15));
    // The five strips lie beneath the frames: where they overlap, the frame's border shows.
    int overlaps = 0;
    for (int i = 1; i <= 5; ++i)
        for (QWidget* f : {w->fraMorvast, w->fraBottom, w->fraBottomRight, w->fraLeft})
            if (const QRect both = w->Label[i]->geometry() & f->geometry(); !both.isEmpty()) {
                ++overlaps;
                EXPECT_EQ(w->childAt(both.center()), f) << i;
            }
    EXPECT_GE(overlaps, 4);
}

TEST_F(MainWindowTest, KeysAndClicksSteerTheFigureAndAMoveRepaintsOnlyAroundIt) {
    const PictureCanvas& c = w->picMorvast->canvas();
    EXPECT_TRUE(figureShown());
    const int x0 = w->game.bytFigX, y0 = w->game.bytFigY;
    testing::PaintSpy spy;
    QApplication::processEvents();
    w->picMorvast->installEventFilter(&spy);
    QTest::keyClick(w->picMorvast, Qt::Key_Right);
    QApplication::processEvents();
    w->picMorvast->removeEventFilter(&spy);
    // 7 x 5 cells around the figure's box at most, plus a pixel of rounding.
    const QRect around =
        c.toDevice(QRectF((x0 - 5) * 250.0, std::max(0, y0 - 1) * 250.0, 1750.0, 1250.0));
    const double dpr = c.devicePixelRatio();
    ASSERT_FALSE(spy.painted.isEmpty());
    EXPECT_TRUE(QRect(around.topLeft() / dpr, around.size() / dpr)
                    .adjusted(-1, -1, 2, 2)
                    .contains(spy.painted.boundingRect()));

    // Key preview: the key reaches the game whichever control has the focus.
    QTest::keyPress(w->lblScore, Qt::Key_Left);
    EXPECT_EQ(backColor(w->cmdLeftRight[0]), 0x00FF00u);
    QTest::keyRelease(w->lblScore, Qt::Key_Left);
    QTest::keyClick(w->lblScore, Qt::Key_Left);
    EXPECT_EQ(backColor(w->cmdLeftRight[0]), w->lngButtonColor);
    EXPECT_EQ(w->game.bytFigX, x0 - 1);
    EXPECT_TRUE(figureShown());
    QTest::mouseClick(w->cmdLeftRight[2], Qt::LeftButton);
    QTest::mouseClick(w->cmdLeftRight[2], Qt::LeftButton);
    EXPECT_EQ(w->game.bytFigX, x0 + 1);
    EXPECT_TRUE(w->picMorvast->hasFocus());
    QTest::keyClick(w.get(), Qt::Key_Up);
    using S = SoundEffect;
    EXPECT_EQ(sound.played,
              std::vector<S>({S::Right, S::Left, S::Left, S::Right, S::Right, S::Rotate}));
    QTest::mousePress(w->cmdSpace, Qt::LeftButton);
    EXPECT_EQ(backColor(w->cmdSpace), colour::kYellow);
    QTest::mouseRelease(w->cmdSpace, Qt::LeftButton);
    EXPECT_EQ(backColor(w->cmdSpace), w->lngButtonColor);
    EXPECT_TRUE(figureShown());
}

TEST_F(MainWindowTest, DropIgnoresTheDownKeyUntilTheLandingAndAnnouncesSpecialFigures) {
    QTest::keyClick(w->picMorvast, Qt::Key_Down);
    QTest::keyClick(w->picMorvast, Qt::Key_Down);
    EXPECT_TRUE(w->game.blnDrop);
    EXPECT_FALSE(w->cmdDown->isEnabled());
    EXPECT_EQ(backColor(w->cmdDown), colour::kBlack);
    EXPECT_EQ(sound.played.size(), 1u);  // one drop sound

    for (int i = 0; i < 40 && w->game.score.intFigures == 0; ++i)
        w->tmrDown_Timer();
    ASSERT_EQ(w->game.score.intFigures, 1);
    EXPECT_TRUE(w->cmdDown->isEnabled());
    EXPECT_EQ(backColor(w->cmdDown), w->lngButtonColor);
    EXPECT_EQ(w->statisticWindow()->lstStatistic->currentRow(), 0);

    // A new game whose first next figure is the super-figure announces it, silently: the stir,
    // five colours, an ordinary first figure, then the special draw 0.5 and no cell filled.
    rnd.queued = {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.0, 0.0, 0.5, 0.0, 0.5, 0.5};
    rnd.queued.insert(rnd.queued.end(), 16, 0.1);
    sound.played.clear();
    w->Form_Load();
    EXPECT_EQ(w->game.arrQueue[2].Pattern, kSuperFigure);
    EXPECT_TRUE(w->lblFirma->isVisible());
    EXPECT_EQ(w->lblFirma->text(), QStringLiteral("This Is Morvast Bonus 25000"));
    EXPECT_EQ(foreColor(w->lblFirma), colour::kBlue);
    EXPECT_TRUE(sound.played.empty());
}

// Qt hands the second press of a quick pair to a widget as a double click; for the steering
// buttons it is a press like any other. The clicks go through the window, as a player's do.
TEST_F(MainWindowTest, EveryPressOfAQuickPairSteers) {
    const auto doubleClick = [&](QWidget* b) {
        QTest::mouseDClick(w->windowHandle(), Qt::LeftButton, {},
                           b->mapTo(w.get(), b->rect().center()));
    };
    const int x0 = w->game.bytFigX;
    doubleClick(w->cmdLeftRight[2]);
    EXPECT_EQ(w->game.bytFigX, x0 + 2);
    doubleClick(w->cmdLeftRight[0]);
    EXPECT_EQ(w->game.bytFigX, x0);
    const FigureCells figure = w->game.Figura;
    doubleClick(w->cmdSpace);
    EXPECT_EQ(w->game.Figura, figure);  // inverted and back
    doubleClick(w->cmdRotate);
    using S = SoundEffect;
    EXPECT_EQ(sound.played, std::vector<S>({S::Right, S::Right, S::Left, S::Left, S::Inverse,
                                            S::Inverse, S::Rotate, S::Rotate}));
    EXPECT_EQ(backColor(w->cmdRotate), w->lngButtonColor);
}

// The style keeps a picture of each drawn button under its palette's key: a colour shown again
// must come with the key it had, or every press would keep one more picture.
TEST_F(MainWindowTest, AButtonShowingItsColoursAgainIsDrawnUnderTheSameKey) {
    struct KeyRecorder : QProxyStyle {
        KeyRecorder() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
        void drawPrimitive(PrimitiveElement e, const QStyleOption* o, QPainter* p,
                           const QWidget* w) const override {
            if (e == PE_PanelButtonCommand) keys.insert(o->palette.cacheKey());
            QProxyStyle::drawPrimitive(e, o, p, w);
        }
        mutable std::set<qint64> keys;
    } recorder;
    w->cmdRotate->setStyle(&recorder);
    for (int i = 0; i < 4; ++i) {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent e(type, Qt::Key_Up, Qt::NoModifier);
            QApplication::sendEvent(w->picMorvast, &e);
            w->cmdRotate->repaint();
        }
    }
    w->cmdRotate->setStyle(nullptr);
    EXPECT_EQ(recorder.keys.size(), 2u);  // yellow while held, the game's colour after
}

// The end of a game as the program plays it: while the name dialog is up its event loop runs
// (long enough for the level blink) with the timers still running; then "Yes" starts a new game.
TEST_F(MainWindowTest, NoTickTouchesTheEndedGameDuringTheDialogsAndAFreshGameFollows) {
    using State = std::tuple<bool, bool, int16_t, int16_t, int>;
    const auto state = [&] {
        return State(w->game.ended(), w->tmrDownEnabled(), w->game.intTick,
                     w->game.score.intTimeCount, w->game.bytFigY);
    };
    State before, after;
    int asked = 0;
    testing::whenShown<frmEnterName>([&](frmEnterName* d) {
        ++asked;
        before = state();
        w->startLevelBlink();
        while (w->intBlinkLevel < 3)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        after = state();
        testing::key(d->txtName, Qt::Key_Return);
        testing::whenShown<frmGameOver>([](frmGameOver* g) { g->cmdYes->click(); });
    });

    w->chkDemo->setChecked(true);
    fillToTheTop();
    for (int i = 0; i < 400 && asked == 0; ++i)
        w->tmrDown_Timer();
    ASSERT_EQ(asked, 1);
    EXPECT_TRUE(std::get<0>(before) && std::get<1>(before));
    EXPECT_EQ(before, after);
    // The row's bytes and the reset before the new game are the records' and the end-of-game
    // tests' to check.
    EXPECT_EQ(programEnds, 0);
    EXPECT_FALSE(w->game.ended() || w->chkDemo->isChecked() || w->game.C[10][20]);
    EXPECT_EQ(w->lblScore->text(), QStringLiteral("---"));
    EXPECT_EQ(w->statisticWindow()->lstStatistic->count(), 0);
    // The new game reads the table afresh: the finished game's row is the place to beat.
    EXPECT_EQ(w->records.count(), 1);
    EXPECT_EQ(w->lblPosition->text(), QStringLiteral("Place # 2"));
}

// The clock behind the figure's fall.
using std::chrono::milliseconds;
using std::chrono::nanoseconds;
constexpr auto kTick = FallingClock::kTick;

TEST(FallingClock, FixedTickCatchUpCapAndStop) {
    testing::app();
    int ticks = 0;
    FallingClock* self = nullptr;
    int nested = -1;
    FallingClock clock([&] {
        // A modal dialog inside a tick runs a nested loop that must not enter the tick again.
        if (++ticks == 1) nested = self->advance(kTick * 2);
        if (ticks == 74) self->setEnabled(false);
        return ticks != 73;  // a tick may end its run, as a new game does
    });
    self = &clock;
    clock.setEnabled(true);
    EXPECT_EQ(clock.advance(kTick - nanoseconds(1)), 0);
    EXPECT_EQ(clock.advance(nanoseconds(1)), 1);
    EXPECT_EQ(nested, 0);
    // Two and a half ticks, then another half: the halves add up to a third tick.
    EXPECT_EQ(clock.advance(kTick * 5 / 2), 2);
    EXPECT_EQ(clock.advance(kTick / 2), 1);
    for (int i = 0; i < 100; ++i)  // one second in uneven slices
        clock.advance(milliseconds(10));
    EXPECT_EQ(ticks, 68);
    // A stall catches up a few ticks only and owes nothing afterwards.
    EXPECT_EQ(clock.advance(std::chrono::seconds(3)), FallingClock::kMaxCatchUp);
    EXPECT_EQ(clock.advance(kTick / 2), 0);
    EXPECT_EQ(clock.advance(kTick * 3), 1);       // tick 73 ends its run
    EXPECT_EQ(clock.advance(nanoseconds(0)), 0);  // and the rest of the run is dropped
    EXPECT_EQ(clock.advance(kTick * 3), 1);       // tick 74 pauses the clock
    EXPECT_FALSE(clock.isEnabled());
    EXPECT_EQ(clock.advance(kTick * 3), 0);
}

}  // namespace
}  // namespace morvast
