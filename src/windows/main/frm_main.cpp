#include "windows/main/frm_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QListWidget>
#include <QTimer>

#include "scoring/place.h"
#include "scoring/rounding.h"
#include "settings/app_paths.h"
#include "windows/widgets/app_look.h"
#include "windows/forms/frm_future.h"
#include "windows/forms/frm_morvas_fathers.h"
#include "windows/forms/frm_mp3.h"
#include "windows/forms/frm_open.h"
#include "windows/forms/frm_statistic.h"
#include "windows/widgets/picture_box.h"
#include "windows/widgets/twips.h"
#include "windows/widgets/win_colour.h"

namespace morvast {

namespace {

// A colour of three channels each drawn between 155 and 255 (the third fixed when given).
uint32_t paleColour(double r1, double r2, int third) {
    return colour::rgb(static_cast<int>(roundHalfEven(r1 * 100 + 155)),
                       static_cast<int>(roundHalfEven(r2 * 100 + 155)), third);
}

}  // namespace

frmMain::frmMain(RandomSource* rnd, const Clock* clock, QWidget* parent)
    : QWidget(parent),
      ownRnd_(rnd ? nullptr : std::make_unique<Rnd>()),
      ownClock_(clock ? nullptr : std::make_unique<SystemClock>()),
      game(*this, rnd ? *rnd : *ownRnd_, clock ? *clock : *ownClock_),
      recordsFile_(dataFolder()),
      tmrDown([this] {
          const int generation = generation_;
          tmrDown_Timer();
          return generation == generation_ && !game.ended();
      }),
      programEnd_([] { QCoreApplication::exit(0); }) {
    registerFonts();
    setWindowTitle(QStringLiteral("Morvast XII VelkNET"));
    setWindowIcon(makeWindowIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(designFont(QStringLiteral("Tahoma"), 8.25));
    // 6810 x 8805 twips of client area; the size is fixed.
    setFixedSize(px(6810), px(8805));

    buildControls();
    frmMorvasFathers_ = new frmMorvasFathers(this);
    frmStatistic_ = new frmStatistic(this);
    frmFuture_ = new frmFuture(this);
    frmMP3_ = new morvast::frmMP3(settings, this);
    // One chooser serves the player and the settings window.
    frmOpen_ = new frmOpen(QString(), mountedVolumes, this);
    frmMP3_->setChooser(frmOpen_);
    renderer_ =
        std::make_unique<FieldRenderer>(game, game.rnd(), picMorvast->canvas(), picNext->canvas());
    connectSideWindows();
    followOuterPlaces();
    connectSteering();
    connectMenu();
    connectPanel();
    connectRecords();
}

frmMain::~frmMain() {
    // The key preview ends before the controls go, which send events while they do.
    qApp->removeEventFilter(this);
}

void frmMain::setRecordsFolder(const QString& folder, int lockTimeoutMs) {
    recordsFile_ = RecordsFile(folder, lockTimeoutMs);
    connectRecords();
}

void frmMain::connectSideWindows() {
    for (const SideWindowRow& r : sideWindowRows()) {
        // Shown by a toggle, a side window leaves the keyboard with the game.
        r.window->setAttribute(Qt::WA_ShowWithoutActivating);
        r.window->setFocusTarget(picMorvast);
        QPushButton* toggle = r.toggle;
        r.window->setOnUserClose([toggle] { toggle->setChecked(false); });
    }

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

void frmMain::Load() {
    if (!blnInitDone) Form_Load();
}

void frmMain::showEvent(QShowEvent* event) {
    Load();
    QWidget::showEvent(event);
}

void frmMain::Form_Load() {
    ++generation_;
    // The program's folder is found by full path wherever a file is opened.
    lngMenuBackColor = backColor(chkPause);
    chkDemo->setChecked(false);
    tmrDemo.stop();

    lblRemain->setText(QString());
    setForeColor(lblLevel, colour::qbColor(1));
    lblLevel->setText(QStringLiteral("Level # 0"));
    lblPosition->setText(QString());
    lblNextPlace->setText(QString());
    lblNextPlace->setVisible(true);
    setBackColor(this, colour::kBlack);

    // The colours come from the random stream between its stirring and the first figures.
    game.newGame([this] {
        lngButtonColor = colour::qbColor(static_cast<int>(rnd() * 15) + 1);
        for (QPushButton* b : steeringButtons())
            setBackColor(b, lngButtonColor);

        tmrDown.setEnabled(!chkPause->isChecked());

        lblScore->setText(QStringLiteral("---"));
        for (int i = 1; i <= 4; ++i)
            lblCountLines[i]->setText(QString());

        Minimize_Window(true);
        lblPause->move(fraControl->pos());

        {
            const double r1 = rnd(), r2 = rnd();
            const uint32_t c = paleColour(r1, r2, 150);
            setForeColor(lblPosition, c);
            setForeColor(lblNextPlace, c);
        }
        {
            const double r1 = rnd(), r2 = rnd(), r3 = rnd();
            const uint32_t c = paleColour(r1, r2, static_cast<int>(roundHalfEven(r3 * 100 + 155)));
            for (QLabel* l : {lblTimeBonus, lblTotal, lblHeightBonus, lblTotalScore})
                setForeColor(l, c);
        }

        // The announcement shows it again if the first next figure is special.
        lblFirma->hide();
    });

    readRecordsForNewGame();
    frmStatistic_->lstStatistic->clear();
    tellUnkeptRecords();
    setForeColor(lblScore, colour::kYellow);
    lblSumBonus->setText(QString());
    cmdDown->setEnabled(true);

    DrawFuture();

    if (!blnInitDone) {
        LoadSettings();
        // Should no paint come (a window hidden from the start), the media still open.
        QTimer::singleShot(250, this, &frmMain::loadMedia);
        game.ForLoop = game.settings.SpeedChange != 0 ? -kPanSweepLimit : 0;
        game.intPanDir = 1;
        blnInitDone = true;
    }

    for (const SideWindowRow& r : sideWindowRows())
        r.toggle->setChecked(r.window->isVisible());

    RebuildWindowRgn();
    DrawField();
    DrawFigure();
    DrawGrid();
    DrawNext();
}

void frmMain::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    Form_Paint();
    // Media wait until the window has been drawn once; the music starts a moment later.
    if (blnInitDone && !mediaAsked_) {
        mediaAsked_ = true;
        QTimer::singleShot(0, this, &frmMain::loadMedia);
    }
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
    SaveSettings();
    for (const SideWindowRow& r : sideWindowRows())
        r.window->unloadByProgram();
}

void frmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
}

void frmMain::Form_Resize() {
    const bool minimised = isMinimized();
    if (minimised && !chkPause->isChecked()) chkPause->setChecked(true);
    takeSideWindowsAlong(minimised);
}

// ---------------------------------------------------------------- drawing

void frmMain::DrawField() {
    renderer_->DrawField();
    picMorvast->flush();
}

void frmMain::DrawGrid() {
    renderer_->DrawGrid();
    picMorvast->flush();
}

void frmMain::DrawFigure() {
    renderer_->DrawFigure();
    picMorvast->flush();
}

void frmMain::DrawNext() {
    renderer_->DrawNext();
    picNext->flush();
}

void frmMain::DrawFuture() {
    morvast::DrawFuture(game, frmFuture_->picFuture->canvas());
    frmFuture_->picFuture->flush();
}

void frmMain::drawPhantom(int x, int y) {
    renderer_->ErasePhantom(x, y);
    renderer_->DrawPhantom(x, y);
    picMorvast->flush();
}

// ---------------------------------------------------------------- sounds

void frmMain::playSound(SoundEffect effect) {
    sound_->play(effect);
}

void frmMain::setMusicPan(int16_t& pan) {
    sound_->setPan(pan);
}

// ---------------------------------------------------------------- end of the program

void frmMain::endProgramNow() {
    // No query-unload: the settings stay as they were when the program started.
    unloading_ = true;
    tmrDown.setEnabled(false);
    programEnd_();
}

}  // namespace morvast
