#include "windows/frm_main.h"

#include <cmath>

#include <QApplication>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>

#include "scoring/demo.h"
#include "scoring/place.h"
#include "scoring/rounding.h"
#include "windows/app_look.h"
#include "windows/frm_future.h"
#include "windows/frm_statistic.h"
#include "windows/picture_box.h"
#include "windows/win_colour.h"

namespace morvast {

namespace {

// 15 twips to the logical pixel.
int px(int twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}
QRect twipRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kMenuBrown = 0x004080;
constexpr uint32_t kMenuText = 0xFFFFC0;
constexpr uint32_t kHoverBack = 0xFFFF00;
constexpr uint32_t kNormalBack = 0x0000FF;
constexpr uint32_t kNormalText = 0xFFFF00;
constexpr uint32_t kLightBlue = 0xFF8080;
constexpr uint32_t kTimeGreen = 0x00C000;

constexpr double kFieldUnitsWide = 3760;
constexpr double kFieldUnitsHigh = 7760;

void setTag(QWidget* w, const char* text) {
    w->setProperty("Tag", QString::fromUtf8(text));
}

QLabel* makeLabel(QWidget* parent, QRect r, const char* caption, uint32_t fore, bool centred,
                  const char* tag) {
    auto* l = new QLabel(QString::fromUtf8(caption), parent);
    l->setGeometry(r);
    l->setAlignment(centred ? (Qt::AlignHCenter | Qt::AlignTop) : (Qt::AlignLeft | Qt::AlignTop));
    setBackColor(l, colour::kBlack);
    setForeColor(l, fore);
    if (tag) setTag(l, tag);
    return l;
}

QFrame* makeFrame(QWidget* parent, QRect r) {
    auto* f = new QFrame(parent);
    f->setGeometry(r);
    f->setFrameStyle(QFrame::Box | QFrame::Sunken);
    setBackColor(f, colour::kBlack);
    setForeColor(f, colour::kWhite);
    return f;
}

QGroupBox* makeGroup(QWidget* parent, QRect r, const char* caption, uint32_t fore,
                     const char* tag) {
    auto* g = new QGroupBox(QString::fromUtf8(caption), parent);
    g->setGeometry(r);
    setBackColor(g, colour::kBlack);
    setForeColor(g, fore);
    setTag(g, tag);
    return g;
}

QPushButton* makeButton(QWidget* parent, QRect r, const char* caption, const char* tag) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setGeometry(r);
    // The field keeps the keyboard; the buttons are for the mouse.
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    setTag(b, tag);
    return b;
}

QPushButton* makeMenuButton(QWidget* parent, QRect r, const char* caption, bool topRow,
                            const char* tag) {
    QPushButton* b = makeButton(parent, r, caption, tag);
    b->setCheckable(true);
    b->setFont(designFont(QStringLiteral("Times New Roman"), topRow ? 9 : 8.25, true));
    setBackColor(b, topRow ? kMenuBrown : colour::kBlack);
    setForeColor(b, kMenuText);
    b->setMouseTracking(true);
    return b;
}

int qtKeyToCode(int key) {
    switch (key) {
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Space:
            return 32;
        default:
            return 0;
    }
}

}  // namespace

void RecordsPort::finishGame(frmMain& w, int64_t shownScore) {
    (void)shownScore;
    w.newGameAfterGameOver();
}

frmMain::frmMain(RandomSource* rnd, const Clock* clock, QWidget* parent)
    : QWidget(parent),
      ownRnd_(rnd ? nullptr : std::make_unique<Rnd>()),
      ownClock_(clock ? nullptr : std::make_unique<SystemClock>()),
      game(*this, rnd ? *rnd : *ownRnd_, clock ? *clock : *ownClock_),
      tmrDown([this] {
          const int generation = generation_;
          tmrDown_Timer();
          return generation == generation_ && !game.ended();
      }) {
    registerFonts();
    setWindowTitle(QStringLiteral("Morvast XII VelkNET"));
    setWindowIcon(makeWindowIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(designFont(QStringLiteral("Tahoma"), 8.25));
    // 6810 x 8805 twips of client area; the size is fixed.
    setFixedSize(px(6810), px(8805));

    buildControls();
    frmStatistic_ = new frmStatistic(this);
    frmFuture_ = new frmFuture(this);
    renderer_ =
        std::make_unique<FieldRenderer>(game, game.rnd(), picMorvast->canvas(), picNext->canvas());
    connectHandlers();
    qApp->installEventFilter(this);
}

void frmMain::Load() {
    if (!blnInitDone) Form_Load();
}

void frmMain::showEvent(QShowEvent* event) {
    Load();
    QWidget::showEvent(event);
}

frmMain::~frmMain() {
    qApp->removeEventFilter(this);
}

// ---------------------------------------------------------------- design

void frmMain::buildControls() {
    fraMorvast = makeFrame(this, twipRect(120, 120, 3735, 6855));
    picMorvast = new PictureBox(fraMorvast);
    picMorvast->setGeometry(twipRect(120, 240, 3495, 6495));
    picMorvast->setFocusPolicy(Qt::StrongFocus);
    setTag(picMorvast,
           "Удаляются только полностью заполненные горизонтальные линии. Одной фигуркой можно "
           "удалить от 1 до 4 линий.");

    fraBottom = makeFrame(this, twipRect(840, 7200, 2175, 1215));
    // Lies under the steering frame and shows when the pause hides that frame.
    lblPause = makeLabel(fraBottom, twipRect(120, 240, 1935, 975), "Pause", colour::kRed, true,
                         "Когда эта надпись видна, игра находится в режиме паузы.");
    fraControl = makeGroup(fraBottom, twipRect(120, 120, 1935, 975), "Control", colour::kRed,
                           "Управление - стрелочными клавишами ( мышкой их тоже можно нажимать ).");
    cmdDown = makeButton(fraControl, twipRect(720, 480, 492, 225), "V",
                         "Бросить фигурку - Стрелка Вниз.");
    cmdLeftRight[0] = makeButton(fraControl, twipRect(120, 480, 615, 195), "<",
                                 "Перемещение фигурки влево - Стрелка Влево.");
    cmdLeftRight[2] = makeButton(fraControl, twipRect(1200, 480, 615, 195), ">",
                                 "Перемещение фигурки вправо - Стрелка Вправо.");
    cmdRotate = makeButton(fraControl, twipRect(720, 240, 495, 225), "^",
                           "Вращение фигурки - Стрелка Вверх.");
    cmdSpace = makeButton(fraControl, twipRect(480, 720, 975, 195), "",
                          "Инверсия - Пробел. Заполненные квадратики становятся пустыми, пустые - "
                          "заполненными.");

    fraBottomRight = makeFrame(this, twipRect(3360, 7320, 3255, 1215));
    fraBottomRight->setMouseTracking(true);
    frmMenu = makeGroup(fraBottomRight, twipRect(120, 120, 3015, 975), "Menu", colour::kYellow,
                        "Это меню. При продвижении по таблице кнопки в Меню начинают мигать.");
    frmMenu->setMouseTracking(true);
    chkPause = makeMenuButton(frmMenu, twipRect(0, 240, 615, 255), "Pause", true,
                              "Пауза - Клавиша ESC. При нажатии ESC все окна свернутся.");
    chkHelp = makeMenuButton(frmMenu, twipRect(600, 240, 615, 255), "Help", true, "Вызов справки.");
    chkDemo = makeMenuButton(frmMenu, twipRect(1200, 240, 615, 255), "Demo", true,
                             "Обучающий видеоролик ( пример ужасной игры ).");
    chkSet = makeMenuButton(frmMenu, twipRect(1800, 240, 615, 255), "Set", true,
                            "Hастройка музыкального сопровождения, отображения фантома и т.д.");
    chkExit =
        makeMenuButton(frmMenu, twipRect(2400, 240, 615, 255), "Exit", true, "Выход из игры.");
    chkAuto = makeMenuButton(frmMenu, twipRect(0, 600, 615, 255), "Auto", false,
                             "Автоматическая пристыковка окон The Best Of The Morvast, Future, "
                             "Statistic  и *.mp3 & *.wma Player.");
    chkFuture = makeMenuButton(frmMenu, twipRect(600, 600, 615, 255), "Future", false,
                               "Показать/скрыть расширенную подсказку ( окно Future ).");
    chkRec = makeMenuButton(frmMenu, twipRect(1200, 600, 615, 255), "Best", false,
                            "Показать/скрыть таблицу рекордов ( окно The Best Of The Morvast ).");
    chkStat = makeMenuButton(frmMenu, twipRect(1800, 600, 615, 255), "Stat", false,
                             "Показать/скрыть статистику ( окно Statistic ).");
    chkMP3 = makeMenuButton(frmMenu, twipRect(2400, 600, 615, 255), "MP3", false,
                            "Показать/скрыть *.mp3 & *.wma Player.");

    fraLeft = makeFrame(this, twipRect(4320, 120, 2415, 6855));
    lblLevel = makeLabel(fraLeft, twipRect(240, 240, 1935, 495), "Level # 0", colour::kWhite, true,
                         "Уровень сложности ( Скорость игры ). Инкрементирует ( увеличивается ) "
                         "после каждых девяти удаленных линий.");
    lblRemain = makeLabel(fraLeft, twipRect(120, 840, 2175, 375), "", 0x8080FF, true,
                          "Число линий, которые надо удалить чтобы  перейти на следующий уровень.");
    fraScore = makeGroup(fraLeft, twipRect(240, 1320, 1932, 735), "Score", colour::kYellow,
                         "Текущий счет.");
    lblScore = makeLabel(fraScore, twipRect(120, 240, 1695, 375), "---", colour::kYellow, true,
                         "Текущий счет. В окне Statistic приведена полная информация о том, как "
                         "получена эта цифра.");
    lblSumBonus = makeLabel(fraLeft, twipRect(120, 2160, 2175, 255), "", colour::kRed, true,
                            "Суммарный бонус за Morvast-фигурки.");
    lblAutors = makeLabel(fraLeft, twipRect(120, 2760, 255, 495), "", 0x0000C0, false,
                          "Morvast XII VelkNET: игра для настольного компьютера, перенесённая на "
                          "C++ и Qt.");
    picNext = new PictureBox(fraLeft);
    picNext->setGeometry(twipRect(600, 2520, 1155, 1155));
    picNext->setUserScale(1155, 1155);
    setTag(picNext, "Здесь обычно изображена следующая фигурка.");
    lblFirma = makeLabel(fraLeft, twipRect(360, 3720, 1695, 375), " Morvast - фигурка    Бонус ",
                         colour::kCyan, true,
                         "Бонус ( до 5000 ) за показанную Morvast-фигурку. Есть супер-фигурка :  "
                         "Morvast - выпадает очень редко, а бонус за нее - 25000.");
    // Captions longer than their label break at blanks onto the next line, as the original's
    // labels do; the labels that change every tick stay on one line, which is cheaper to lay out.
    lblFirma->setWordWrap(true);
    lblSumBonus->setWordWrap(true);
    fraLines = makeGroup(fraLeft, twipRect(120, 4200, 2175, 1335), "Lines Bonus", kLightBlue,
                         "Чем больше линий одновременно удалено, тем больше бонус.");
    static const char* const kLineTags[5] = {
        nullptr, "За одну удаленную линию бонус - 275.",
        "За две одновременно удаленные линии бонус - 800.",
        "За три одновременно удаленные линии бонус - 2225.",
        "За четыре одновременно удаленные линии бонус - 5000."};
    for (int i = 1; i <= 4; ++i)
        lblCountLines[i] = makeLabel(fraLines, twipRect(120, 240 * i, 1935, 255), "0",
                                     colour::kYellow, true, kLineTags[i]);
    lblPosition = makeLabel(fraLeft, twipRect(120, 5640, 2175, 255), "", kLightBlue, true,
                            "Ваше текущее место в таблице.");
    lblNextPlace = makeLabel(fraLeft, twipRect(120, 5880, 2175, 255), "", kLightBlue, true,
                             "Сколько очков до следующего места в таблице.");
    lblHeightBonus = makeLabel(fraLeft, twipRect(360, 6240, 1095, 255), "Time Bonus :", kTimeGreen,
                               true, "Этот бонус зависит от времени.");
    lblTimeBonus = makeLabel(fraLeft, twipRect(1560, 6240, 735, 255), "", kTimeGreen, true,
                             "Бонус за время. Чем быстрее Вы бросите фигурку, тем больше будет "
                             "бонус.");
    lblTotal = makeLabel(fraLeft, twipRect(360, 6480, 975, 255), "Total :", kTimeGreen, true,
                         "Суммарный бонус за время.");
    lblTotalScore = makeLabel(fraLeft, twipRect(1560, 6480, 735, 255), "40000", kTimeGreen, true,
                              "Суммарный бонус за время.");

    Label[1] = makeLabel(this, twipRect(3840, 2520, 615, 75), "", colour::kBlack, false, nullptr);
    Label[2] = makeLabel(this, twipRect(3000, 8160, 495, 75), "", colour::kBlack, false, nullptr);
    Label[3] = makeLabel(this, twipRect(480, 6960, 75, 975), "", colour::kBlack, false, nullptr);
    Label[4] = makeLabel(this, twipRect(480, 7920, 495, 75), "", colour::kBlack, false, nullptr);
    Label[5] = makeLabel(this, twipRect(4080, 0, 75, 2535), "", colour::kBlack, false, nullptr);
    for (int i = 1; i <= 5; ++i)
        Label[i]->setObjectName(QStringLiteral("Label%1").arg(i));

    // Object names make the controls findable by their original names.
    const std::pair<QWidget*, const char*> names[] = {{fraMorvast, "fraMorvast"},
                                                      {picMorvast, "picMorvast"},
                                                      {fraBottom, "fraBottom"},
                                                      {fraControl, "fraControl"},
                                                      {cmdDown, "cmdDown"},
                                                      {cmdLeftRight[0], "cmdLeftRight(0)"},
                                                      {cmdLeftRight[2], "cmdLeftRight(2)"},
                                                      {cmdRotate, "cmdRotate(0)"},
                                                      {cmdSpace, "cmdSpace"},
                                                      {lblPause, "lblPause"},
                                                      {fraBottomRight, "fraBottomRight"},
                                                      {frmMenu, "frmMenu"},
                                                      {chkPause, "chkPause"},
                                                      {chkHelp, "chkHelp"},
                                                      {chkDemo, "chkDemo"},
                                                      {chkSet, "chkSet"},
                                                      {chkExit, "chkExit"},
                                                      {chkAuto, "chkAuto"},
                                                      {chkFuture, "chkFuture"},
                                                      {chkRec, "chkRec"},
                                                      {chkStat, "chkStat"},
                                                      {chkMP3, "chkMP3"},
                                                      {fraLeft, "fraLeft"},
                                                      {lblLevel, "lblLevel"},
                                                      {lblRemain, "lblRemain"},
                                                      {fraScore, "fraScore"},
                                                      {lblScore, "lblScore"},
                                                      {lblSumBonus, "lblSumBonus"},
                                                      {picNext, "picNext"},
                                                      {lblAutors, "lblAutors"},
                                                      {lblFirma, "lblFirma"},
                                                      {fraLines, "fraLines"},
                                                      {lblPosition, "lblPosition"},
                                                      {lblNextPlace, "lblNextPlace"},
                                                      {lblHeightBonus, "lblHeightBonus"},
                                                      {lblTimeBonus, "lblTimeBonus"},
                                                      {lblTotal, "lblTotal"},
                                                      {lblTotalScore, "lblTotalScore"}};
    for (const auto& [w, name] : names)
        w->setObjectName(QString::fromLatin1(name));
    for (int i = 1; i <= 4; ++i)
        lblCountLines[i]->setObjectName(QStringLiteral("lblCountLines(%1)").arg(i));

    tmrMigMenuControls.setInterval(100);
    tmrDemo.setInterval(500);
    tmrLevel.setInterval(100);
    tmrMigCountLines.setInterval(250);
}

void frmMain::connectHandlers() {
    connect(&tmrMigMenuControls, &QTimer::timeout, this, &frmMain::tmrMigMenuControls_Timer);
    connect(&tmrDemo, &QTimer::timeout, this, &frmMain::tmrDemo_Timer);
    connect(&tmrLevel, &QTimer::timeout, this, &frmMain::tmrLevel_Timer);
    connect(&tmrMigCountLines, &QTimer::timeout, this, &frmMain::tmrMigCountLines_Timer);

    // A two-state button's Click runs on every change of its value, by code or by the user.
    connect(chkPause, &QPushButton::toggled, this, &frmMain::chkPause_Click);
    connect(chkHelp, &QPushButton::toggled, this, &frmMain::chkHelp_Click);
    connect(chkDemo, &QPushButton::toggled, this, &frmMain::chkDemo_Click);
    connect(chkSet, &QPushButton::toggled, this, &frmMain::chkSet_Click);
    connect(chkExit, &QPushButton::toggled, this, &frmMain::chkExit_Click);
    connect(chkAuto, &QPushButton::toggled, this, &frmMain::chkAuto_Click);
    connect(chkFuture, &QPushButton::toggled, this, &frmMain::chkFuture_Click);
    connect(chkRec, &QPushButton::toggled, this, &frmMain::chkRec_Click);
    connect(chkStat, &QPushButton::toggled, this, &frmMain::chkStat_Click);
    connect(chkMP3, &QPushButton::toggled, this, &frmMain::chkMP3_Click);
    // Mouse releases: the toggles give the keyboard back; Auto acts as a push button.
    for (QPushButton* b : {chkFuture, chkRec, chkStat, chkMP3})
        connect(b, &QPushButton::clicked, this, &frmMain::focusField);
    connect(chkAuto, &QPushButton::clicked, this, [this] {
        chkAuto->setChecked(false);
        focusField();
    });

    // Shown by a toggle, a side window leaves the keyboard with the game.
    frmStatistic_->setAttribute(Qt::WA_ShowWithoutActivating);
    frmFuture_->setAttribute(Qt::WA_ShowWithoutActivating);
    frmStatistic_->setFocusTarget(picMorvast);
    frmFuture_->setFocusTarget(picMorvast);
    frmStatistic_->setOnUserClose([this] { chkStat->setChecked(false); });
    frmFuture_->setOnUserClose([this] { chkFuture->setChecked(false); });

    // A picture made afresh (new size or screen) is blank until drawn again.
    connect(picMorvast, &PictureBox::canvasRecreated, this, [this] {
        DrawField();
        DrawGrid();
        DrawFigure();
    });
    connect(picNext, &PictureBox::canvasRecreated, this, &frmMain::DrawNext);
    connect(frmFuture_->picFuture, &PictureBox::canvasRecreated, this, &frmMain::DrawFuture);
}

// ---------------------------------------------------------------- load, paint, unload

void frmMain::Form_Load() {
    ++generation_;
    // The program's folder is found by full path wherever a file is opened.
    lngMenuBackColor = backColor(chkPause);
    chkDemo->setChecked(false);
    tmrDemo.stop();

    game.resetForNewGame();  // intLevel and the counters of the new game, fresh arrays
    lblRemain->setText(QString());
    setForeColor(lblLevel, colour::qbColor(1));
    lblLevel->setText(QStringLiteral("Level # 0"));
    lblPosition->setText(QString());
    lblNextPlace->setText(QString());
    lblNextPlace->setVisible(true);

    setBackColor(this, colour::kBlack);
    game.stirRandom();

    lngButtonColor = colour::qbColor(static_cast<int>(rnd() * 15) + 1);
    for (QWidget* b : {static_cast<QWidget*>(cmdDown), static_cast<QWidget*>(cmdLeftRight[0]),
                       static_cast<QWidget*>(cmdLeftRight[2]), static_cast<QWidget*>(cmdRotate),
                       static_cast<QWidget*>(cmdSpace)})
        setBackColor(b, lngButtonColor);

    tmrDown.setEnabled(!chkPause->isChecked());

    lblScore->setText(QStringLiteral("---"));
    game.blnPlaying = true;
    for (int i = 1; i <= 4; ++i)
        lblCountLines[i]->setText(QString());

    Minimize_Window(true);
    game.intCells = 0;

    lblPause->move(fraControl->pos());

    {
        const double r1 = rnd(), r2 = rnd();
        const uint32_t c = colour::rgb(static_cast<int>(roundHalfEven(r1 * 100 + 155)),
                                       static_cast<int>(roundHalfEven(r2 * 100 + 155)), 150);
        setForeColor(lblPosition, c);
        setForeColor(lblNextPlace, c);
    }
    {
        const double r1 = rnd(), r2 = rnd(), r3 = rnd();
        const uint32_t c = colour::rgb(static_cast<int>(roundHalfEven(r1 * 100 + 155)),
                                       static_cast<int>(roundHalfEven(r2 * 100 + 155)),
                                       static_cast<int>(roundHalfEven(r3 * 100 + 155)));
        for (QLabel* l : {lblTimeBonus, lblTotal, lblHeightBonus, lblTotalScore})
            setForeColor(l, c);
    }

    game.fillQueue();
    game.setUpFirstFigures();

    const PlaceStart start = startPlace(records_->loadRecords(*this));
    game.intPlace = start.intPlace;
    frmStatistic_->lstStatistic->clear();
    setForeColor(lblScore, colour::kYellow);
    game.score.lngMorvastBonus = 0;
    lblSumBonus->setText(QString());
    game.score.lngTimeBonusTotal = 0;
    cmdDown->setEnabled(true);
    game.dropEnabled = true;
    game.blnDrop = false;
    if (!start.position.isEmpty()) lblPosition->setText(start.position);

    DrawFuture();

    if (!blnInitDone) {
        sound_->createEffects();
        settingsFile_->LoadSettings(*this);
        applySettings();
        game.ForLoop = settings.SpeedChange != 0 ? -5000 : 0;
        game.intPanDir = 1;
        blnInitDone = true;
    }

    chkRec->setChecked(frmMorvasFathers && frmMorvasFathers->isVisible());
    chkStat->setChecked(frmStatistic_->isVisible());
    chkFuture->setChecked(frmFuture_->isVisible());
    chkMP3->setChecked(frmMP3 && frmMP3->isVisible());

    DrawField();
    DrawFigure();
    DrawGrid();
    DrawNext();
}

void frmMain::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    Form_Paint();
}

void frmMain::Form_Paint() {
    DrawNext();
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void frmMain::Form_QueryUnload() {
    if (unloading_) return;
    unloading_ = true;
    tmrDown.setEnabled(false);
    settingsFile_->SaveSettings(*this);
    records_->unloadWindow(*this);
    frmStatistic_->unloadByProgram();
    frmFuture_->unloadByProgram();
    if (frmMP3) frmMP3->close();
}

void frmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
}

void frmMain::Form_Resize() {
    const bool minimised = isMinimized();
    if (minimised && !chkPause->isChecked()) chkPause->setChecked(true);
    for (QWidget* w : {frmMorvasFathers, static_cast<QWidget*>(frmStatistic_),
                       static_cast<QWidget*>(frmFuture_), frmMP3}) {
        if (!w) continue;
        const Qt::WindowStates s = w->windowState() & ~Qt::WindowMinimized;
        w->setWindowState(minimised ? (s | Qt::WindowMinimized) : s);
    }
}

void frmMain::applySettings() {
    game.settings.iFantom = settings.iFantom;
    game.settings.EnableLoop = settings.EnableLoop;
    game.settings.SpeedChange = settings.SpeedChange;
    renderer_->bDrawSetka = settings.bDrawSetka;
}

void frmMain::Minimize_Window(bool minimize) {
    (void)minimize;  // both values do the same
    picMorvast->setUserScale(kFieldUnitsWide, kFieldUnitsHigh);
    DrawFigure();
    DrawNext();
}

// ---------------------------------------------------------------- drawing

void frmMain::flushField() {
    picMorvast->flush();
}
void frmMain::flushNext() {
    picNext->flush();
}

void frmMain::DrawField() {
    renderer_->DrawField();
    flushField();
}

void frmMain::DrawGrid() {
    renderer_->bDrawSetka = settings.bDrawSetka;
    renderer_->DrawGrid();
    flushField();
}

void frmMain::DrawFigure() {
    renderer_->DrawFigure();
    flushField();
}

void frmMain::DrawNext() {
    renderer_->DrawNext();
    flushNext();
}

void frmMain::DrawFuture() {
    morvast::DrawFuture(game, frmFuture_->picFuture->canvas());
    frmFuture_->picFuture->flush();
}

void frmMain::drawPhantom(int x, int y) {
    renderer_->ErasePhantom(x, y);
    renderer_->DrawPhantom(x, y);
    flushField();
}

// ---------------------------------------------------------------- steering

void frmMain::focusField() {
    if (picMorvast->isVisible()) picMorvast->setFocus(Qt::OtherFocusReason);
}

void frmMain::cmdLeftRight_MouseDown(int index) {
    setBackColor(cmdLeftRight[index], kGreen);
    game.moveLeftRight(index);
}

void frmMain::cmdLeftRight_MouseUp(int index) {
    (void)index;
    setBackColor(cmdLeftRight[0], lngButtonColor);
    setBackColor(cmdLeftRight[2], lngButtonColor);
    focusField();
}

void frmMain::cmdRotate_MouseDown(int index) {
    (void)index;
    setBackColor(cmdRotate, colour::kYellow);
    game.rotatePress();
}

void frmMain::cmdRotate_MouseUp(int index) {
    (void)index;
    setBackColor(cmdRotate, lngButtonColor);
    focusField();
}

void frmMain::cmdSpace_MouseDown() {
    setBackColor(cmdSpace, colour::kYellow);
    game.invertPress();
}

void frmMain::cmdSpace_MouseUp() {
    setBackColor(cmdSpace, lngButtonColor);
    focusField();
}

void frmMain::cmdDown_MouseDown() {
    setBackColor(cmdDown, colour::kBlack);
    game.dropPress();
}

void frmMain::cmdDown_MouseUp() {
    focusField();
}

void frmMain::Form_KeyDown(int keyCode) {
    const bool playing = game.blnPlaying;
    switch (keyCode) {
        case 37:
            if (playing) cmdLeftRight_MouseDown(0);
            break;
        case 39:
            if (playing) cmdLeftRight_MouseDown(2);
            break;
        case 38:
            if (playing) cmdRotate_MouseDown(0);
            break;
        case 40:
            if (cmdDown->isEnabled() && playing) cmdDown_MouseDown();
            break;
        case 27:
            game.blnEscPause = true;
            chkPause->setChecked(!chkPause->isChecked());
            break;
        case 32:
            if (playing) cmdSpace_MouseDown();
            break;
        default:
            break;
    }
}

void frmMain::Form_KeyUp(int keyCode) {
    switch (keyCode) {
        case 37:
            cmdLeftRight_MouseUp(0);
            break;
        case 39:
            cmdLeftRight_MouseUp(2);
            break;
        case 38:
            cmdRotate_MouseUp(0);
            break;
        case 32:
            cmdSpace_MouseUp();
            break;
        default:
            break;
    }
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        // Key preview: the window sees the steering keys first, whichever control has the focus.
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || w->window() != this) return false;
        const int code = qtKeyToCode(static_cast<QKeyEvent*>(event)->key());
        if (code == 0) return false;
        if (type == QEvent::KeyPress)
            Form_KeyDown(code);
        else
            Form_KeyUp(code);
        return true;
    }
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
        const bool down = type == QEvent::MouseButtonPress;
        if (watched == cmdLeftRight[0] || watched == cmdLeftRight[2]) {
            const int index = watched == cmdLeftRight[0] ? 0 : 2;
            down ? cmdLeftRight_MouseDown(index) : cmdLeftRight_MouseUp(index);
        } else if (watched == cmdRotate) {
            down ? cmdRotate_MouseDown(0) : cmdRotate_MouseUp(0);
        } else if (watched == cmdSpace) {
            down ? cmdSpace_MouseDown() : cmdSpace_MouseUp();
        } else if (watched == cmdDown) {
            down ? cmdDown_MouseDown() : cmdDown_MouseUp();
        }
        return false;
    }
    if (type == QEvent::MouseMove) {
        // A move that a child ignored reaches its parents too; only the control under the
        // pointer reacts, as a control of the original does.
        if (auto* w = qobject_cast<QWidget*>(watched);
            w && w->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
            return false;
        if (watched == chkPause || watched == chkHelp || watched == chkDemo || watched == chkSet ||
            watched == chkExit)
            hoverTopButton(static_cast<QPushButton*>(watched));
        else if (watched == frmMenu)
            ResetMenuColors();
        else if (watched == fraBottomRight) {
            setBackColor(chkPause, kNormalBack);
            setForeColor(chkPause, kNormalText);
        }
        return false;
    }
    return false;
}

// ---------------------------------------------------------------- menu

void frmMain::hoverTopButton(QPushButton* b) {
    if (backColor(b) == kHoverBack) return;
    ResetMenuColors();
    setBackColor(b, kHoverBack);
    setForeColor(b, kNormalBack);
}

void frmMain::ResetMenuColors() {
    for (QPushButton* b : {chkPause, chkDemo, chkSet, chkHelp, chkExit}) {
        if (backColor(b) == kNormalBack) continue;
        setBackColor(b, kNormalBack);
        setForeColor(b, kNormalText);
    }
}

void frmMain::startRunningLight() {
    if (!tmrMigMenuControls.isActive()) tmrMigMenuControls.start();
}

void frmMain::tmrMigMenuControls_Timer() {
    QPushButton* const row[5] = {chkPause, chkHelp, chkDemo, chkSet, chkExit};
    const int s = intMenuBlinkStep;
    if (s > 0) setBackColor(row[s - 1], lngMenuBackColor);
    if (s == 5) {
        intMenuBlinkStep = 0;
        tmrMigMenuControls.stop();
        return;
    }
    setBackColor(row[s], kGreen);
    intMenuBlinkStep = s + 1;
}

void frmMain::chkPause_Click() {
    if (chkPause->isChecked()) {
        fraControl->hide();
        tmrDown.setEnabled(false);
        game.blnPlaying = false;
        if (game.blnEscPause) showMinimized();
    } else {
        fraControl->show();
        tmrDown.setEnabled(true);
        game.blnPlaying = true;
        if (isMinimized()) showNormal();
        activateWindow();
    }
    game.blnEscPause = false;
    DrawFigure();
    DrawNext();
    focusField();
}

void frmMain::chkHelp_Click() {
    // The help tour comes with its own window; until then the button only springs back.
    if (chkHelp->isChecked()) chkHelp->setChecked(false);
    focusField();
}

void frmMain::chkDemo_Click() {
    if (chkDemo->isChecked())
        tmrDemo.start();
    else
        tmrDemo.stop();
    focusField();
}

void frmMain::chkSet_Click() {
    // The settings window would be shown here, modally, while the button is checked.
    applySettings();
    chkSet->setChecked(false);
    DrawField();
    DrawGrid();
    DrawFigure();
    ResetMenuColors();
    focusField();
}

void frmMain::chkExit_Click() {
    if (chkExit->isChecked()) close();
}

void frmMain::chkAuto_Click() {
    // Docking places the side windows; the release unchecks the button again.
}

void frmMain::chkFuture_Click() {
    frmFuture_->setVisible(chkFuture->isChecked());
}

void frmMain::chkStat_Click() {
    frmStatistic_->setVisible(chkStat->isChecked());
}

void frmMain::chkRec_Click() {
    if (frmMorvasFathers)
        frmMorvasFathers->setVisible(chkRec->isChecked());
    else if (chkRec->isChecked())
        chkRec->setChecked(false);
}

void frmMain::chkMP3_Click() {
    if (frmMP3)
        frmMP3->setVisible(chkMP3->isChecked());
    else if (chkMP3->isChecked())
        chkMP3->setChecked(false);
}

// ---------------------------------------------------------------- timers

void frmMain::tmrDown_Timer() {
    game.tmrDown_Timer();
}

void frmMain::tmrDemo_Timer() {
    for (QPushButton* b : {cmdLeftRight[0], cmdLeftRight[2], cmdRotate, cmdSpace})
        setBackColor(b, lngButtonColor);
    const double rInterval = rnd();
    const double rPress = rnd();
    const DemoPress press = chooseDemoPress(rInterval, rPress);
    tmrDemo.setInterval(press.intervalMs);
    switch (press.action) {
        case DemoAction::Left:
            cmdLeftRight_MouseDown(0);
            break;
        case DemoAction::Right:
            cmdLeftRight_MouseDown(2);
            break;
        case DemoAction::Rotate:
            cmdRotate_MouseDown(0);
            break;
        case DemoAction::Drop:
            cmdDown_MouseDown();
            break;
        case DemoAction::Invert:
            cmdSpace_MouseDown();
            break;
    }
}

void frmMain::tmrLevel_Timer() {
    ++intBlinkLevel;
    setForeColor(lblLevel, colour::qbColor(static_cast<int>(roundHalfEven(rnd() * 15))));
    for (int i = 1; i <= 5; ++i)
        setBackColor(Label[i], colour::qbColor(static_cast<int>(roundHalfEven(rnd() * 15))));
    if (intBlinkLevel > 15) {
        tmrLevel.stop();
        setForeColor(lblLevel, colour::qbColor(game.score.intLevel + 1));
        for (int i = 1; i <= 5; ++i)
            setBackColor(Label[i], colour::kBlack);
        intBlinkLevel = 0;
    }
}

void frmMain::tmrMigCountLines_Timer() {
    ++intBlinkLines;
    QLabel* l = lblCountLines[intLastLines];
    setForeColor(l, foreColor(l) == colour::kBlack ? colour::kYellow : colour::kBlack);
    if (intBlinkLines > 5) {
        tmrMigCountLines.stop();
        setForeColor(l, colour::kYellow);
        intBlinkLines = 0;
    }
}

// ---------------------------------------------------------------- what the game reports

void frmMain::playSound(SoundEffect effect) {
    sound_->play(effect);
}

void frmMain::setMusicPan(int16_t& pan) {
    sound_->setPan(pan);
}

void frmMain::showTimeBonus(int value, int64_t total) {
    lblTimeBonus->setText(QString::number(value));
    lblTotalScore->setText(QString::number(total));
}

void frmMain::remainChanged(const std::string& digits) {
    lblRemain->setText(QString::fromStdString(digits));
}

void frmMain::levelCaptionChanged(int level) {
    lblLevel->setText(QStringLiteral("Level # %1").arg(level));
}

void frmMain::startLevelBlink() {
    if (!tmrLevel.isActive()) tmrLevel.start();
}

void frmMain::lineBonusAwarded(int k, const std::string& caption) {
    intLastLines = k;
    for (int i = 1; i <= 4; ++i)
        setForeColor(lblCountLines[i], colour::kYellow);
    if (!tmrMigCountLines.isActive())
        tmrMigCountLines.start();
    else
        intBlinkLines = 0;
    lblCountLines[k]->setText(QString::fromStdString(caption));
}

void frmMain::morvastBonusChanged(const std::string& caption) {
    lblSumBonus->setText(QString::fromStdString(caption));
}

void frmMain::scoreChanged(int64_t shown) {
    lblScore->setText(QString::number(shown));
}

void frmMain::addStatistic(const std::string& line, bool selectLast) {
    frmStatistic_->addLine(QString::fromStdString(line), selectLast);
}

void frmMain::specialFigureAnnounced(const Announcement& a) {
    lblFirma->show();
    setForeColor(lblFirma, a.textColour);
    lblFirma->setText(QString::fromStdString(a.caption));
}

void frmMain::landingBegins() {
    setBackColor(cmdDown, lngButtonColor);
    lblFirma->hide();
}

void frmMain::dropButtonEnabled(bool enabled) {
    cmdDown->setEnabled(enabled);
}

void frmMain::updatePlace(int64_t shownScore) {
    records_->updatePlace(*this, shownScore);
}

void frmMain::finishGame(int64_t shownScore) {
    records_->finishGame(*this, shownScore);
}

void frmMain::endProgramNow() {
    // No query-unload: the settings stay as they were when the program started.
    unloading_ = true;
    tmrDown.setEnabled(false);
    QCoreApplication::exit(0);
}

void frmMain::newGameAfterGameOver() {
    tmrDemo.stop();
    game.score.lngScore = 0;
    game.score.intSpeed = 0;
    Form_Load();
}

}  // namespace morvast
