// The main window as a player meets it: its design, the load of a game, steering by keys and by
// clicks, and what the field shows.
#include <QListWidget>
#include <QPaintEvent>
#include <QTest>

#include "gui_fixture.h"
#include "windows/frm_statistic.h"
#include "windows/picture_box.h"
#include "windows/win_colour.h"

namespace morvast {
namespace {

using testing::MainWindowTest;

QRect twips(int l, int t, int w, int h) {
    auto px = [](int v) { return static_cast<int>(std::lround(v / 15.0)); };
    return QRect(px(l), px(t), px(w), px(h));
}

QString tagOf(const QWidget* w) {
    return w->property("Tag").toString();
}

TEST_F(MainWindowTest, ControlsStandWhereTheDesignPutsThemWithTheirCaptionsColoursAndHelp) {
    struct Row {
        QWidget* control;
        QWidget* container;
        QRect rect;
        const char* caption;   // nullptr: not checked
        int64_t fore;          // -1: not checked
        const char* tagStart;  // nullptr: no help text
    };
    const Row rows[] = {
        {w->fraMorvast, w.get(), twips(120, 120, 3735, 6855), nullptr, -1, nullptr},
        {w->picMorvast, w->fraMorvast, twips(120, 240, 3495, 6495), nullptr, -1,
         "Удаляются только полностью заполненные горизонтальные линии."},
        {w->fraBottom, w.get(), twips(840, 7200, 2175, 1215), nullptr, -1, nullptr},
        {w->fraControl, w->fraBottom, twips(120, 120, 1935, 975), "Control", 0x0000FF,
         "Управление - стрелочными клавишами"},
        {w->cmdDown, w->fraControl, twips(720, 480, 492, 225), "V", -1,
         "Бросить фигурку - Стрелка Вниз."},
        {w->cmdLeftRight[0], w->fraControl, twips(120, 480, 615, 195), "<", -1,
         "Перемещение фигурки влево - Стрелка Влево."},
        {w->cmdLeftRight[2], w->fraControl, twips(1200, 480, 615, 195), ">", -1,
         "Перемещение фигурки вправо - Стрелка Вправо."},
        {w->cmdRotate, w->fraControl, twips(720, 240, 495, 225), "^", -1,
         "Вращение фигурки - Стрелка Вверх."},
        {w->cmdSpace, w->fraControl, twips(480, 720, 975, 195), "", -1, "Инверсия - Пробел."},
        {w->fraBottomRight, w.get(), twips(3360, 7320, 3255, 1215), nullptr, -1, nullptr},
        {w->frmMenu, w->fraBottomRight, twips(120, 120, 3015, 975), "Menu", 0x00FFFF, "Это меню."},
        {w->chkPause, w->frmMenu, twips(0, 240, 615, 255), "Pause", 0xFFFFC0,
         "Пауза - Клавиша ESC. При нажатии ESC все окна свернутся."},
        {w->chkHelp, w->frmMenu, twips(600, 240, 615, 255), "Help", 0xFFFFC0, "Вызов справки."},
        {w->chkDemo, w->frmMenu, twips(1200, 240, 615, 255), "Demo", 0xFFFFC0,
         "Обучающий видеоролик ( пример ужасной игры )."},
        {w->chkSet, w->frmMenu, twips(1800, 240, 615, 255), "Set", 0xFFFFC0, "Hастройка"},
        {w->chkExit, w->frmMenu, twips(2400, 240, 615, 255), "Exit", 0xFFFFC0, "Выход из игры."},
        {w->chkAuto, w->frmMenu, twips(0, 600, 615, 255), "Auto", 0xFFFFC0,
         "Автоматическая пристыковка окон The Best Of The Morvast, Future, Statistic  и"},
        {w->chkFuture, w->frmMenu, twips(600, 600, 615, 255), "Future", 0xFFFFC0,
         "Показать/скрыть расширенную подсказку ( окно Future )."},
        {w->chkRec, w->frmMenu, twips(1200, 600, 615, 255), "Best", 0xFFFFC0,
         "Показать/скрыть таблицу рекордов ( окно The Best Of The Morvast )."},
        {w->chkStat, w->frmMenu, twips(1800, 600, 615, 255), "Stat", 0xFFFFC0,
         "Показать/скрыть статистику ( окно Statistic )."},
        {w->chkMP3, w->frmMenu, twips(2400, 600, 615, 255), "MP3", 0xFFFFC0,
         "Показать/скрыть *.mp3 & *.wma Player."},
        {w->fraLeft, w.get(), twips(4320, 120, 2415, 6855), nullptr, -1, nullptr},
        {w->lblLevel, w->fraLeft, twips(240, 240, 1935, 495), "Level # 0", -1,
         "Уровень сложности ( Скорость игры ). Инкрементирует"},
        {w->lblRemain, w->fraLeft, twips(120, 840, 2175, 375), "", 0x8080FF,
         "Число линий, которые надо удалить чтобы  перейти на следующий уровень."},
        {w->fraScore, w->fraLeft, twips(240, 1320, 1932, 735), "Score", 0x00FFFF, "Текущий счет."},
        {w->lblScore, w->fraScore, twips(120, 240, 1695, 375), "---", 0x00FFFF,
         "Текущий счет. В окне Statistic"},
        {w->lblSumBonus, w->fraLeft, twips(120, 2160, 2175, 255), "", 0x0000FF,
         "Суммарный бонус за Morvast-фигурки."},
        {w->picNext, w->fraLeft, twips(600, 2520, 1155, 1155), nullptr, -1,
         "Здесь обычно изображена следующая фигурка."},
        {w->lblAutors, w->fraLeft, twips(120, 2760, 255, 495), "", 0x0000C0, ""},
        {w->lblFirma, w->fraLeft, twips(360, 3720, 1695, 375), nullptr, -1,
         "Бонус ( до 5000 ) за показанную Morvast-фигурку. Есть супер-фигурка :  Morvast"},
        {w->fraLines, w->fraLeft, twips(120, 4200, 2175, 1335), "Lines Bonus", 0xFF8080,
         "Чем больше линий одновременно удалено, тем больше бонус."},
        {w->lblCountLines[3], w->fraLines, twips(120, 720, 1935, 255), "", 0x00FFFF,
         "За три одновременно удаленные линии бонус - 2225."},
        {w->lblPosition, w->fraLeft, twips(120, 5640, 2175, 255), nullptr, -1,
         "Ваше текущее место в таблице."},
        {w->lblNextPlace, w->fraLeft, twips(120, 5880, 2175, 255), "", -1,
         "Сколько очков до следующего места в таблице."},
        {w->lblHeightBonus, w->fraLeft, twips(360, 6240, 1095, 255), "Time Bonus :", -1,
         "Этот бонус зависит от времени."},
        {w->lblTimeBonus, w->fraLeft, twips(1560, 6240, 735, 255), nullptr, -1,
         "Бонус за время. Чем быстрее Вы бросите фигурку, тем больше будет бонус."},
        {w->lblTotal, w->fraLeft, twips(360, 6480, 975, 255), "Total :", -1,
         "Суммарный бонус за время."},
        {w->lblTotalScore, w->fraLeft, twips(1560, 6480, 735, 255), nullptr, -1,
         "Суммарный бонус за время."},
        {w->Label[1], w.get(), twips(3840, 2520, 615, 75), nullptr, -1, nullptr},
        {w->Label[2], w.get(), twips(3000, 8160, 495, 75), nullptr, -1, nullptr},
        {w->Label[3], w.get(), twips(480, 6960, 75, 975), nullptr, -1, nullptr},
        {w->Label[4], w.get(), twips(480, 7920, 495, 75), nullptr, -1, nullptr},
        {w->Label[5], w.get(), twips(4080, 0, 75, 2535), nullptr, -1, nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.control->objectName().toStdString());
        EXPECT_EQ(r.control->parentWidget(), r.container);
        EXPECT_EQ(r.control->geometry(), r.rect);
        if (r.caption) {
            QString text;
            if (auto* l = qobject_cast<QLabel*>(r.control)) text = l->text();
            if (auto* b = qobject_cast<QPushButton*>(r.control)) text = b->text();
            if (auto* g = qobject_cast<QGroupBox*>(r.control)) text = g->title();
            EXPECT_EQ(text.toStdString(), r.caption);
        }
        if (r.fore >= 0) {
            EXPECT_EQ(foreColor(r.control), static_cast<uint32_t>(r.fore));
        }
        if (r.tagStart) {
            EXPECT_TRUE(tagOf(r.control).startsWith(QString::fromUtf8(r.tagStart)))
                << tagOf(r.control).toStdString();
        } else {
            EXPECT_TRUE(tagOf(r.control).isEmpty());
        }
    }
    // Every control inside a frame carries a help text; the window itself stays 6810 x 8805.
    for (QWidget* frame :
         {static_cast<QWidget*>(w->fraMorvast), static_cast<QWidget*>(w->fraBottom),
          static_cast<QWidget*>(w->fraBottomRight), static_cast<QWidget*>(w->fraLeft)})
        for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_FALSE(tagOf(child).isEmpty()) << child->objectName().toStdString();
    EXPECT_EQ(w->size(), QSize(454, 587));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Morvast XII VelkNET"));
    EXPECT_FALSE(w->windowIcon().isNull());
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    // Menu rows: brown top row in 9 pt, black bottom row in 8.25 pt, bold serif.
    EXPECT_EQ(backColor(w->chkExit), 0x004080u);
    EXPECT_EQ(backColor(w->chkMP3), 0x000000u);
    EXPECT_EQ(w->chkPause->font().pixelSize(), 12);
    EXPECT_EQ(w->chkStat->font().pixelSize(), 11);
    EXPECT_TRUE(w->chkStat->font().bold());
    EXPECT_EQ(w->lblCountLines[1]->property("Tag").toString(),
              QStringLiteral("За одну удаленную линию бонус - 275."));
}

TEST_F(MainWindowTest, LoadSetsUpAFreshGamePanel) {
    EXPECT_EQ(w->lblScore->text(), QStringLiteral("---"));
    EXPECT_EQ(w->lblLevel->text(), QStringLiteral("Level # 0"));
    EXPECT_EQ(foreColor(w->lblLevel), colour::qbColor(1));
    EXPECT_EQ(w->lblPosition->text(), QStringLiteral("Place # 1"));
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(w->lblCountLines[i]->text().isEmpty());
    EXPECT_TRUE(w->tmrDownEnabled());
    EXPECT_FALSE(w->tmrDemo.isActive());
    EXPECT_NE(w->lngButtonColor, colour::kBlack);
    for (QWidget* b : {static_cast<QWidget*>(w->cmdDown), static_cast<QWidget*>(w->cmdLeftRight[0]),
                       static_cast<QWidget*>(w->cmdSpace)})
        EXPECT_EQ(backColor(b), w->lngButtonColor);
    // The pause caption sits exactly under the steering frame.
    EXPECT_EQ(w->lblPause->pos(), w->fraControl->pos());
    const QObjectList& stack = w->fraBottom->children();
    EXPECT_LT(stack.indexOf(w->lblPause), stack.indexOf(w->fraControl));
    EXPECT_EQ(w->statisticWindow()->lstStatistic->count(), 0);
}

TEST(MainWindowLoad, RandomDrawsFollowTheLoadOrder) {
    testing::app();
    testing::ScriptedRandom rnd;
    testing::FixedClock clock(0);
    // Second 0 stirs one value away; then the button colour, the place colours and the time
    // colours are drawn before any figure.
    rnd.queued = {0.99, 0.5, 0.0, 0.5, 0.25, 0.5, 0.75};
    frmMain w(&rnd, &clock);
    w.Load();
    EXPECT_EQ(w.lngButtonColor, colour::qbColor(8));
    EXPECT_EQ(foreColor(w.lblPosition), colour::rgb(155, 205, 150));
    EXPECT_EQ(foreColor(w.lblNextPlace), colour::rgb(155, 205, 150));
    for (QLabel* l : {w.lblTimeBonus, w.lblTotal, w.lblHeightBonus, w.lblTotalScore})
        EXPECT_EQ(foreColor(l), colour::rgb(180, 205, 230));
}

// Pixels of the field picture.
class FieldPixels : public MainWindowTest {
  protected:
    QRgb at(double ux, double uy) {
        const PictureCanvas& c = w->picMorvast->canvas();
        const QPointF p = c.toDevice(ux, uy);
        return c.image().pixel(static_cast<int>(p.x()), static_cast<int>(p.y())) & 0xFFFFFF;
    }
    // Centre of field cell (x, y).
    QRgb centre(int x, int y) { return at((x - 4) * 250 + 125, y * 250 + 125); }
    // A point on the outline of the cell's inset square.
    QRgb edge(int x, int y) {
        const QRect r =
            w->picMorvast->canvas().toDevice(QRectF((x - 4) * 250 + 28, y * 250 + 28, 194, 194));
        return w->picMorvast->canvas().image().pixel(r.left(), r.center().y()) & 0xFFFFFF;
    }
    static QRgb rgb(uint32_t win) { return toQColor(win).rgb() & 0xFFFFFF; }
    // Which field cells show the falling figure (cyan outline).
    std::vector<std::pair<int, int>> figureCells() {
        std::vector<std::pair<int, int>> cells;
        for (int x = 4; x <= 18; ++x)
            for (int y = 0; y <= 30; ++y)
                if (edge(x, y) == rgb(colour::kCyan)) cells.emplace_back(x, y);
        return cells;
    }
    std::vector<std::pair<int, int>> expectedFigure() {
        std::vector<std::pair<int, int>> cells;
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 4; ++y)
                if (w->game.Figura[x][y])
                    cells.emplace_back(w->game.bytFigX + x, w->game.bytFigY + y);
        std::sort(cells.begin(), cells.end());
        return cells;
    }
};

TEST_F(FieldPixels, KeysAndClicksSteerTheFigureAndTheFieldShowsIt) {
    EXPECT_EQ(figureCells(), expectedFigure());
    const int x0 = w->game.bytFigX;

    // Key preview: the key reaches the game whichever control has the focus.
    QTest::keyPress(w->lblScore, Qt::Key_Left);
    EXPECT_EQ(backColor(w->cmdLeftRight[0]), 0x00FF00u);
    QTest::keyRelease(w->lblScore, Qt::Key_Left);
    EXPECT_EQ(backColor(w->cmdLeftRight[0]), w->lngButtonColor);
    EXPECT_EQ(w->game.bytFigX, x0 - 1);
    EXPECT_EQ(figureCells(), expectedFigure());
    EXPECT_EQ(sound.count(SoundEffect::Left), 1);

    QTest::mouseClick(w->cmdLeftRight[2], Qt::LeftButton);
    QTest::mouseClick(w->cmdLeftRight[2], Qt::LeftButton);
    EXPECT_EQ(w->game.bytFigX, x0 + 1);
    EXPECT_EQ(figureCells(), expectedFigure());
    EXPECT_TRUE(w->picMorvast->hasFocus());
    // The column the figure left is black again.
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(centre(x0 - 1, y), 0u);

    const auto before = w->game.Figura;
    QTest::keyClick(w.get(), Qt::Key_Up);
    EXPECT_EQ(sound.count(SoundEffect::Rotate), 1);
    EXPECT_EQ(figureCells(), expectedFigure());
    QTest::mousePress(w->cmdSpace, Qt::LeftButton);
    EXPECT_EQ(backColor(w->cmdSpace), colour::kYellow);
    QTest::mouseRelease(w->cmdSpace, Qt::LeftButton);
    EXPECT_EQ(backColor(w->cmdSpace), w->lngButtonColor);
    (void)before;
    EXPECT_EQ(figureCells(), expectedFigure());
}

TEST_F(FieldPixels, AMoveRepaintsOnlyTheCellsAroundTheFigure) {
    struct PaintSpy : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } spy;
    QApplication::processEvents();
    w->picMorvast->installEventFilter(&spy);
    spy.painted = QRegion();
    const int x = w->game.bytFigX, y = w->game.bytFigY;
    QTest::keyClick(w->picMorvast, Qt::Key_Right);
    w->picMorvast->repaint(QRegion());  // nothing extra: only flush what is pending
    QApplication::processEvents();
    w->picMorvast->removeEventFilter(&spy);
    // The figure is ordinary (no phantom by default): 6 x 5 cells around its box at most.
    const double dpr = w->picMorvast->canvas().devicePixelRatio();
    const QRect window = w->picMorvast->canvas().toDevice(
        QRectF((x - 1 - 4) * 250.0, std::max(0, y - 1) * 250.0, 7 * 250.0, 5 * 250.0));
    const QRect logical(
        static_cast<int>(window.left() / dpr) - 1, static_cast<int>(window.top() / dpr) - 1,
        static_cast<int>(window.width() / dpr) + 3, static_cast<int>(window.height() / dpr) + 3);
    ASSERT_FALSE(spy.painted.isEmpty());
    EXPECT_TRUE(logical.contains(spy.painted.boundingRect()))
        << "painted " << spy.painted.boundingRect().width() << "x"
        << spy.painted.boundingRect().height();
}

TEST_F(FieldPixels, PhantomShowsWhereTheFigureWouldRest) {
    w->game.settings.iFantom = 2;
    QTest::keyClick(w->picMorvast, Qt::Key_Left);
    const int rest = w->game.restingRow();
    ASSERT_GT(rest, 4);
    int seen = 0;
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y) {
            if (!w->game.Figura[x][y]) continue;
            const QColor inner(centre(w->game.bytFigX + x, rest + y));
            EXPECT_GE(inner.red(), 50);
            EXPECT_LE(inner.red(), 105);
            EXPECT_GE(inner.green(), 100);
            EXPECT_LE(inner.green(), 155);
            const QColor outer(edge(w->game.bytFigX + x, rest + y));
            EXPECT_GE(outer.red(), 200);
            EXPECT_GE(outer.green(), 200);
            ++seen;
        }
    EXPECT_EQ(seen, 4);
}

TEST_F(FieldPixels, ASpecialNextFigureIsAnnouncedOnThePanel) {
    const auto deal = [&](const char* pattern, int32_t bonus) {
        w->game.arrQueue[2] = {pattern, bonus, true};
        w->game.score.announceNextFigure(pattern, true, bonus);
        w->game.NextFigura = cellsFromPattern(pattern);
        w->DrawNext();
    };
    w->lblFirma->hide();
    deal("1000000000000001", 40000);
    EXPECT_TRUE(w->lblFirma->isVisible());
    EXPECT_EQ(w->lblFirma->text(), QStringLiteral("Morvast-фигурка Bonus 4000"));
    EXPECT_EQ(foreColor(w->lblFirma), colour::kCyan);
    // The next figure's picture shows the special figure with red insides.
    const PictureCanvas& n = w->picNext->canvas();
    EXPECT_EQ(n.image().pixel(n.toDevice(QRectF(58, 58, 194, 194)).center()) & 0xFFFFFF,
              rgb(colour::kRed));
    deal(kSuperFigure, 250000);
    EXPECT_EQ(w->lblFirma->text(), QStringLiteral("This Is Morvast Bonus 25000"));
    EXPECT_EQ(foreColor(w->lblFirma), colour::kBlue);
    EXPECT_EQ(w->statisticWindow()->lstStatistic->count(), 2);
}

TEST_F(MainWindowTest, DropFallsEveryTickAndTheDownKeyIsDeadUntilTheLanding) {
    const int drawsBefore = rnd.draws;
    QTest::keyClick(w->picMorvast, Qt::Key_Down);
    EXPECT_TRUE(w->game.blnDrop);
    EXPECT_FALSE(w->cmdDown->isEnabled());
    EXPECT_EQ(backColor(w->cmdDown), colour::kBlack);
    EXPECT_EQ(sound.count(SoundEffect::Drop1) + sound.count(SoundEffect::Drop2), 1);
    EXPECT_EQ(rnd.draws, drawsBefore + 1);
    QTest::keyClick(w->picMorvast, Qt::Key_Down);
    EXPECT_EQ(sound.count(SoundEffect::Drop1) + sound.count(SoundEffect::Drop2), 1);
    EXPECT_EQ(rnd.draws, drawsBefore + 1);

    for (int i = 0; i < 40 && w->game.score.intFigures == 0; ++i)
        w->tmrDown_Timer();
    ASSERT_EQ(w->game.score.intFigures, 1);
    EXPECT_TRUE(w->cmdDown->isEnabled());
    EXPECT_EQ(backColor(w->cmdDown), w->lngButtonColor);
    EXPECT_FALSE(w->lblFirma->isVisible());
    EXPECT_NE(w->lblScore->text(), QStringLiteral("---"));
    QListWidget* list = w->statisticWindow()->lstStatistic;
    ASSERT_GE(list->count(), 1);
    EXPECT_TRUE(list->item(list->count() - 1)->text().startsWith(QStringLiteral("1. +")));
    EXPECT_EQ(list->currentRow(), list->count() - 1);
    EXPECT_EQ(w->game.bytFigY, 0);
}

class CountingRecords : public RecordsPort {
  public:
    int finishes = 0;
    int64_t lastScore = -1;
    void finishGame(frmMain& w, int64_t shown) override {
        ++finishes;
        lastScore = shown;
        RecordsPort::finishGame(w, shown);
    }
};

template <class Records>
class EndOfGame : public MainWindowTest {
  protected:
    void beforeLoad() override { w->setRecordsPort(&records); }
    void TearDown() override {
        w->setRecordsPort(nullptr);
        MainWindowTest::TearDown();
    }
    // Columns 9 to 12 filled from row 2 down: the figure lands at once and the next overlaps.
    void blockTheEntry() {
        for (int x = 9; x <= 12; ++x)
            for (int y = 2; y <= 30; ++y)
                w->game.C[x][y] = true;
    }
    Records records;
};

using DefaultEnd = EndOfGame<CountingRecords>;

TEST_F(DefaultEnd, AnEndedGameIsFollowedByAFreshOneWithoutRecords) {
    w->chkDemo->setChecked(true);
    // Columns 9 to 12 filled from row 2 down: the figure lands at once and the next overlaps.
    for (int x = 9; x <= 12; ++x)
        for (int y = 2; y <= 30; ++y)
            w->game.C[x][y] = true;
    w->game.score.lngScore = 12340;
    w->game.score.intSpeed = 45;
    for (int i = 0; i < 400 && records.finishes == 0; ++i)
        w->tmrDown_Timer();
    ASSERT_EQ(records.finishes, 1);
    EXPECT_GT(records.lastScore, 1234);
    EXPECT_EQ(w->game.score.lngScore, 0);
    EXPECT_EQ(w->game.score.intSpeed, 0);
    EXPECT_FALSE(w->game.ended());
    EXPECT_FALSE(w->tmrDemo.isActive());
    EXPECT_FALSE(w->chkDemo->isChecked());
    EXPECT_FALSE(w->game.C[10][20]);
    EXPECT_EQ(w->lblScore->text(), QStringLiteral("---"));
    EXPECT_EQ(w->statisticWindow()->lstStatistic->count(), 0);
}

// The end of the game shown as a modal dialog: its event loop runs while the timers keep running.
class ModalRecords : public RecordsPort {
  public:
    bool endedDuring = false, untouchedDuring = false, blinkRan = false;
    void finishGame(frmMain& w, int64_t shown) override {
        endedDuring = w.game.ended();
        const int16_t tick = w.game.intTick, time = w.game.score.intTimeCount;
        const int figY = w.game.bytFigY;
        w.startLevelBlink();
        while (w.intBlinkLevel < 3)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        blinkRan = true;
        untouchedDuring = w.tmrDownEnabled() && w.game.intTick == tick &&
                          w.game.score.intTimeCount == time && w.game.bytFigY == figY;
        RecordsPort::finishGame(w, shown);
    }
};

using ModalEnd = EndOfGame<ModalRecords>;

TEST_F(ModalEnd, NoTickWorksOnTheEndedGameWhileADialogWaits) {
    blockTheEntry();
    for (int i = 0; i < 400 && !records.blinkRan; ++i)
        w->tmrDown_Timer();
    ASSERT_TRUE(records.blinkRan);
    EXPECT_TRUE(records.endedDuring);
    EXPECT_TRUE(records.untouchedDuring);
}

}  // namespace
}  // namespace morvast
