#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "engine/field_renderer.h"
#include "engine/game.h"
#include "engine/random.h"
#include "scoring/records.h"
#include "settings/app_paths.h"
#include "settings/settings_file.h"
#include "windows/widgets/dock_places.h"
#include "windows/widgets/falling_clock.h"
#include "windows/forms/main_settings.h"
#include "windows/widgets/outer_place.h"
#include "windows/main/ports.h"

namespace morvast {

class PictureBox;
class SideWindow;
class frmStatistic;
class frmFuture;
class frmMorvasFathers;
class frmMP3;
class frmOpen;
class frmHelp;
enum class HelpAnswer;
class frmSettings;

// The main window: owns the game, its drawing, the records, the side windows and the menu.
// Handlers keep the original's names; the rules they call live in the game. The code is split
// by concern, one file per room:
//   frm_main.cpp           construction, load, paint, unload, resize, drawing, new game, end
//   frm_main_design.cpp    the controls, their layout, captions, colours and help texts
//   frm_main_steering.cpp  key preview, the steering buttons, the falling tick, the demo
//   frm_main_menu.cpp      hover, ResetMenuColors, the running light, the chk*_Click handlers
//   frm_main_panel.cpp     the score panel's labels as the game reports, the two blinks
//   frm_main_records.cpp   the records table at a game start, the place update, end of a game
//   frm_main_outline.cpp   the window's outline
//   frm_main_docking.cpp   the side windows' table, minimised along and docked by Auto
//   frm_main_help.cpp      the help tour
//   frm_main_settings.cpp  LoadSettings and SaveSettings: the settings file applied and collected
//   frm_main_settings_window.cpp  the settings window behind Set
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

    // --- seams for the sound objects ---
    void setSoundPort(SoundPort* port) { sound_ = port ? port : &silent_; }
    // The records file lives in the program's folder; a test points it elsewhere, with a
    // shorter wait for another copy's lock, before the window loads.
    void setRecordsFolder(const QString& folder, int lockTimeoutMs = 30000);

    // Loads the window: the first Form_Load. Showing the window loads it too.
    void Load();

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
    // "No" to a new game: the program ends at once, without saving the settings.
    void endProgramNow();
    // How the program ends at once; a test keeps its process.
    void setProgramEnd(std::function<void()> end) { programEnd_ = std::move(end); }

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
    // The settings the rules and the drawing read are game.settings; these are the rest.
    MainSettings settings;
    // colNames and colScores as they stood at the game start.
    RecordsTable records;
    uint32_t lngButtonColor = 0;
    uint32_t lngMenuBackColor = 0;
    bool blnInitDone = false;
    int intMenuBlinkStep = 0;
    int intBlinkLines = 0;
    int intBlinkLevel = 0;
    int intLastLines = 0;

    // --- controls (public, as the other windows reach them) ---
    std::array<QLabel*, 6> Label{};  // Label1 to Label5, beneath the frames
    QFrame* fraMorvast = nullptr;
    PictureBox* picMorvast = nullptr;
    QFrame* fraBottom = nullptr;
    QLabel* lblPause = nullptr;
    QGroupBox* fraControl = nullptr;
    QPushButton* cmdDown = nullptr;
    std::array<QPushButton*, 3> cmdLeftRight{};  // indices 0 and 2
    QPushButton* cmdRotate = nullptr;            // index 0 of its array
    QPushButton* cmdSpace = nullptr;
    // The steering buttons, which every new game paints in its lngButtonColor.
    std::array<QPushButton*, 5> steeringButtons() const {
        return {cmdDown, cmdLeftRight[0], cmdLeftRight[2], cmdRotate, cmdSpace};
    }
    // The controls Help walks through, in the window's control order, without the timers and
    // without the frames, bars and captions that the tour passes over.
    std::vector<QWidget*> tourControls() const;
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
    QLabel* lblAutors = nullptr;
    PictureBox* picNext = nullptr;
    QLabel* lblFirma = nullptr;
    QGroupBox* fraLines = nullptr;
    std::array<QLabel*, 5> lblCountLines{};  // indices 1 to 4
    QLabel* lblPosition = nullptr;
    QLabel* lblNextPlace = nullptr;
    QLabel* lblHeightBonus = nullptr;
    QLabel* lblTimeBonus = nullptr;
    QLabel* lblTotal = nullptr;
    QLabel* lblTotalScore = nullptr;
    frmStatistic* statisticWindow() const { return frmStatistic_; }
    frmFuture* futureWindow() const { return frmFuture_; }
    frmMorvasFathers* recordsWindow() const { return frmMorvasFathers_; }

    // --- the settings window and the file chooser it shares with the player window ---
    // The program's one file chooser, shared by the settings and player windows; its choices
    // outlive every showing.
    frmOpen& fileChooser() { return *frmOpen_; }
    // The open settings window, if any.
    frmSettings* settingsWindow() const { return frmSettings_; }
    // The end of a game: the chooser is unloaded, then an open settings window.
    void unloadSettingsWindows();

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

  public:
    // --- the settings file (frm_main_settings.cpp) ---
    // The folder of the settings file "Mvst" + machine name + ".ini", set before the window
    // loads; the program uses its data folder. Default media and relative stored paths lead
    // into mediaFolder. Without a settings folder the settings are neither read nor written and
    // the design values stand.
    void setSettingsFolder(const QString& folder, const QString& machineName = GetMachineName(),
                           const QString& mediaFolder = programFolder());
    // How the last read went (a damaged file was put aside, nothing could be written...).
    SettingsLoadStatus settingsLoadStatus() const { return settingsLoad_; }
    morvast::frmMP3* playerWindow() const { return frmMP3_; }
    // Opens the output and gives the music, the effects and the player the files and values
    // read at the first load. The first paint does not wait for it: it runs once that paint is
    // done, or earlier when something needs the sound objects. Only the first call acts.
    void loadMedia();

  private:
    void LoadSettings();
    void SaveSettings();
    // Places a window at a position in twips, kept on the coordinates Qt can take.
    static void placeAt(QWidget* w, float left, float top);

    std::optional<SettingsFile> settingsFile_;
    SettingsLoadStatus settingsLoad_ = SettingsLoadStatus::Read;
    // The values last read: what the file keeps when no sound object holds them.
    Settings settingsOnDisk_;
    bool settingsRead_ = false;
    bool mediaAsked_ = false;
    bool mediaLoaded_ = false;
    morvast::frmMP3* frmMP3_ = nullptr;
    frmOpen* frmOpen_ = nullptr;

  private:
    // Each room connects its own handlers.
    void buildControls();
    void connectSideWindows();
    void connectSteering();
    void connectMenu();
    void connectPanel();
    void connectRecords();

    void Form_Paint();
    void Form_QueryUnload();
    void Form_Resize();
    // The records part of Form_Load: ReadRecords, FillRecordsList, the starting place.
    void readRecordsForNewGame();
    // Once per run, in the statistic list: why results cannot be kept.
    void tellUnkeptRecords();
    void chkPause_Click();
    void chkHelp_Click();
    void chkDemo_Click();
    void chkSet_Click();
    void chkExit_Click();
    void chkAuto_Click();
    void hoverTopButton(QPushButton* b);
    double rnd() { return game.rnd().next(); }

    SoundPort silent_;
    SoundPort* sound_ = &silent_;
    RecordsFile recordsFile_;
    frmStatistic* frmStatistic_ = nullptr;
    frmFuture* frmFuture_ = nullptr;
    frmMorvasFathers* frmMorvasFathers_ = nullptr;
    std::unique_ptr<FieldRenderer> renderer_;
    FallingClock tmrDown;
    // Counts the loads, so that a tick that started a new game ends its run of ticks there.
    int generation_ = 0;
    bool unloading_ = false;
    std::function<void()> programEnd_;

    // --- outline, docking and the help tour (frm_main_outline, _docking, _help) ---
  public:
    // Cuts the window down to its frames and the bars joining them.
    void RebuildWindowRgn();
    // Answers every showing of the tour's help window in the player's place (tests); an empty
    // function leaves it to the player.
    void setHelpAnswerer(std::function<HelpAnswer(frmHelp&)> answer);

  private:
    // One row per side window, in the settings file's order (records, statistic, future,
    // player). Creation, the menu's toggles, loading and saving the places, minimising along
    // and docking walk this table instead of naming the windows one by one.
    struct SideWindowRow {
        SideWindow* window;
        QPushButton* toggle;               // the menu button that shows and hides it
        SideWindowPlace Settings::*place;  // its block in the settings file
        QPoint DockPlaces::*dock;          // where Auto puts it
    };
    std::array<SideWindowRow, 4> sideWindowRows() const;
    void takeSideWindowsAlong(bool minimised);
    void dockSideWindows();
    // Auto's places from the outer geometry as now known; again when a frame turns out other
    // than guessed, until every side window has been framed.
    void placeDocked();
    // The outer places of the five windows; the frames the window manager puts round them.
    void followOuterPlaces();
    std::shared_ptr<FrameSizes> frameSizes_ = std::make_shared<FrameSizes>();
    bool dockFresh_ = false;
    void runHelpTour();
    void PlayHelpSound(uint8_t& n);
    void playRandomHelpSound();
    // Unloads the help window by code, as the end of a game does.
    void unloadHelpWindows();
    std::function<HelpAnswer(frmHelp&)> helpAnswerer_;

    // The settings window's room.
    void showSettingsWindow();
    frmSettings* frmSettings_ = nullptr;
};

}  // namespace morvast
