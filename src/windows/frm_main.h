#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "engine/field_renderer.h"
#include "engine/game.h"
#include "engine/random.h"
#include "windows/falling_clock.h"
#include "windows/main_settings.h"
#include "windows/ports.h"

namespace morvast {

class PictureBox;
class frmStatistic;
class frmFuture;

// The main window: owns the game, its drawing, the side windows and the menu. Handlers keep the
// original's names; the rules they call live in the game.
class frmMain : public QWidget, public GameListener {
    Q_OBJECT
    // Declared first: the game is built from them.
    std::unique_ptr<RandomSource> ownRnd_;
    std::unique_ptr<Clock> ownClock_;

  public:
    // rnd and clock default to the program's own generator and the system clock.
    explicit frmMain(RandomSource* rnd = nullptr, const Clock* clock = nullptr,
                     QWidget* parent = nullptr);
    ~frmMain() override;

    // --- seams for the sound objects, the records and the settings ---
    void setSoundPort(SoundPort* port) { sound_ = port ? port : &silent_; }
    void setRecordsPort(RecordsPort* port) { records_ = port ? port : &noRecords_; }
    void setSettingsPort(SettingsPort* port) { settingsFile_ = port ? port : &noSettings_; }

    // Loads the window: the first Form_Load. Showing the window loads it too.
    void Load();
    // Hands the settings variables to the rules and the drawing; after the settings file is read
    // and whenever the settings window changes them.
    void applySettings();

    // --- the original's public procedures ---
    void Form_Load();
    void Minimize_Window(bool minimize);
    void DrawField();
    void DrawGrid();
    void DrawFigure();
    void DrawNext();
    void DrawFuture();
    void ResetMenuColors();
    // Starts the menu's running light unless a pass is under way (the place update calls it).
    void startRunningLight();
    // picMorvast.SetFocus: the keyboard goes back to the game.
    void focusField();
    // A new game after a game over, without the records: the default end of a game.
    void newGameAfterGameOver();
    // "No" to a new game: the program ends at once, without saving the settings.
    void endProgramNow();

    // --- steering handlers (keys and the demo call them too) ---
    void cmdLeftRight_MouseDown(int index);
    void cmdLeftRight_MouseUp(int index);
    void cmdRotate_MouseDown(int index);
    void cmdRotate_MouseUp(int index);
    void cmdSpace_MouseDown();
    void cmdSpace_MouseUp();
    void cmdDown_MouseDown();
    void cmdDown_MouseUp();
    void Form_KeyDown(int keyCode);
    void Form_KeyUp(int keyCode);

    // --- timers ---
    void tmrDown_Timer();
    void tmrMigMenuControls_Timer();
    void tmrDemo_Timer();
    void tmrLevel_Timer();
    void tmrMigCountLines_Timer();
    bool tmrDownEnabled() const { return tmrDown.isEnabled(); }

    // --- state ---
    Game game;
    MainSettings settings;
    uint32_t lngButtonColor = 0;
    uint32_t lngMenuBackColor = 0;
    bool blnInitDone = false;
    int intMenuBlinkStep = 0;
    int intBlinkLines = 0;
    int intBlinkLevel = 0;
    int intLastLines = 0;

    // --- controls (public, as the other windows reach them) ---
    QFrame* fraMorvast = nullptr;
    PictureBox* picMorvast = nullptr;
    QFrame* fraBottom = nullptr;
    QGroupBox* fraControl = nullptr;
    QPushButton* cmdDown = nullptr;
    std::array<QPushButton*, 3> cmdLeftRight{};  // indices 0 and 2
    QPushButton* cmdRotate = nullptr;            // index 0 of its array
    QPushButton* cmdSpace = nullptr;
    QLabel* lblPause = nullptr;
    QFrame* fraBottomRight = nullptr;
    QGroupBox* frmMenu = nullptr;
    QPushButton* chkPause = nullptr;
    QPushButton* chkHelp = nullptr;
    QPushButton* chkDemo = nullptr;
    QPushButton* chkSet = nullptr;
    QPushButton* chkExit = nullptr;
    QPushButton* chkAuto = nullptr;
    QPushButton* chkFuture = nullptr;
    QPushButton* chkRec = nullptr;
    QPushButton* chkStat = nullptr;
    QPushButton* chkMP3 = nullptr;
    QFrame* fraLeft = nullptr;
    QLabel* lblLevel = nullptr;
    QLabel* lblRemain = nullptr;
    QGroupBox* fraScore = nullptr;
    QLabel* lblScore = nullptr;
    QLabel* lblSumBonus = nullptr;
    PictureBox* picNext = nullptr;
    QLabel* lblAutors = nullptr;
    QLabel* lblFirma = nullptr;
    QGroupBox* fraLines = nullptr;
    std::array<QLabel*, 5> lblCountLines{};  // indices 1 to 4
    QLabel* lblPosition = nullptr;
    QLabel* lblNextPlace = nullptr;
    QLabel* lblHeightBonus = nullptr;
    QLabel* lblTimeBonus = nullptr;
    QLabel* lblTotal = nullptr;
    QLabel* lblTotalScore = nullptr;
    std::array<QLabel*, 6> Label{};  // Label1 to Label5
    // The records window and the player window, once their issues provide them.
    QWidget* frmMorvasFathers = nullptr;
    QWidget* frmMP3 = nullptr;
    frmStatistic* statisticWindow() const { return frmStatistic_; }
    frmFuture* futureWindow() const { return frmFuture_; }

    QTimer tmrMigMenuControls;
    QTimer tmrDemo;
    QTimer tmrLevel;
    QTimer tmrMigCountLines;

    // --- GameListener ---
    void playSound(SoundEffect effect) override;
    void setMusicPan(int16_t& pan) override;
    void showTimeBonus(int value, int64_t total) override;
    void remainChanged(const std::string& digits) override;
    void levelCaptionChanged(int level) override;
    void startLevelBlink() override;
    void lineBonusAwarded(int k, const std::string& caption) override;
    void morvastBonusChanged(const std::string& caption) override;
    void scoreChanged(int64_t shown) override;
    void addStatistic(const std::string& line, bool selectLast) override;
    void specialFigureAnnounced(const Announcement& a) override;
    void drawFigure() override { DrawFigure(); }
    void drawField() override { DrawField(); }
    void drawGrid() override { DrawGrid(); }
    void drawNext() override { DrawNext(); }
    void drawFuture() override { DrawFuture(); }
    void drawPhantom(int x, int y) override;
    void landingBegins() override;
    void dropButtonEnabled(bool enabled) override;
    void updatePlace(int64_t shownScore) override;
    void finishGame(int64_t shownScore) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void connectHandlers();
    void Form_Paint();
    void Form_QueryUnload();
    void Form_Resize();
    void chkPause_Click();
    void chkHelp_Click();
    void chkDemo_Click();
    void chkSet_Click();
    void chkExit_Click();
    void chkAuto_Click();
    void chkFuture_Click();
    void chkRec_Click();
    void chkStat_Click();
    void chkMP3_Click();
    void hoverTopButton(QPushButton* b);
    void flushField();
    void flushNext();
    double rnd() { return game.rnd().next(); }

    SoundPort silent_;
    SoundPort* sound_ = &silent_;
    RecordsPort noRecords_;
    RecordsPort* records_ = &noRecords_;
    SettingsPort noSettings_;
    SettingsPort* settingsFile_ = &noSettings_;
    frmStatistic* frmStatistic_ = nullptr;
    frmFuture* frmFuture_ = nullptr;
    std::unique_ptr<FieldRenderer> renderer_;
    FallingClock tmrDown;
    // Counts the loads, so that a tick that started a new game ends its run of ticks there.
    int generation_ = 0;
    bool unloading_ = false;
};

}  // namespace morvast
