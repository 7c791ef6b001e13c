#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/random.h"
#include "scoring/events.h"
#include "scoring/score.h"

namespace morvast {

// One figure of the queue.
struct tFigure {
    std::string Pattern;     // 16 characters "0"/"1", column by column
    int32_t Bonus = 0;       // special-figure bonus in tenths of a point
    bool IsMorvast = false;  // came from the special-figure generator
};

using FigureCells = std::array<std::array<bool, 4>, 4>;  // [column][row]

// Every point where the game touches a window, a sound, the records or the end of the game.
// The game calls these in exactly the order of its rules; the main window implements them.
class GameListener : public ScoreListener {
  public:
    // The pan setter of the background music; may change the value it is handed.
    virtual void setMusicPan(int16_t& pan) { (void)pan; }
    virtual void drawFigure() {}
    virtual void drawField() {}
    virtual void drawGrid() {}
    virtual void drawNext() {}
    virtual void drawFuture() {}
    // Erase the phantom at its old place and draw it with its box at (x, y).
    virtual void drawPhantom(int x, int y) { (void)x, (void)y; }
    // First step of a landing: the drop button loses its pressed colour, the special-figure
    // announcement is hidden.
    virtual void landingBegins() {}
    virtual void dropButtonEnabled(bool enabled) { (void)enabled; }
    // The running place in the records table follows the shown score.
    virtual void updatePlace(int64_t shownScore) { (void)shownScore; }
    // The new figure cannot enter: the game is over. Called as the tick's last act; the
    // listener may start a new game from inside it.
    virtual void finishGame(int64_t shownScore) { (void)shownScore; }
};

// Settings of the player that the rules and the field drawing read; the settings file and the
// settings window write them here and nowhere else.
struct PlaySettings {
    uint8_t iFantom = 1;      // 0 no phantom, 1 only for special figures, 2 always
    bool EnableLoop = true;   // background music on (the sweep runs)
    int16_t SpeedChange = 0;  // sweep step per tick
    bool bDrawSetka = true;   // draw the grid
};

// The music's sweep turns back once the pan passes this far to either side; a game with a sweep
// starts at the left end.
inline constexpr int16_t kPanSweepLimit = 5000;

// The play field, the figures, the queue, the falling tick and the steering rules.
class Game {
  public:
    static constexpr int kColumns = 23;  // 0 to 22
    static constexpr int kRows = 35;     // 0 to 34
    static constexpr int kStartX = 9;    // 18 / 2

    Game(GameListener& listener, RandomSource& rnd, const Clock& clock);

    // A new game, the one path for the main window and for callers without one: fresh arrays,
    // start position, counters of the figure and the score, the end flag; the random stream
    // stirred (2 x seconds + 1 values); then colours, where the window draws its colours from
    // the same stream; then five calls of ChooseFigure into the queue, Figura and NextFigura
    // from places 1 and 2, and the next-figure announcement.
    void newGame(const std::function<void()>& colours = {});
    // Only the fresh arrays, position and counters, for drawing tests of an empty field.
    void resetForNewGame();

    // --- figure catalogue and field ---
    std::string ChooseFigure();
    void Initialize_Array_For_Morvast(std::string& strMorvast);
    void Initialize_Array_For_Figure(FigureCells& cells, const std::string& strFIG);
    void Update_Array_C();
    bool GameOver() const;
    void ShiftQueue();

    // --- the falling tick ---
    void tmrDown_Timer();
    bool CanFall() const;
    void RemoveFullLines(int& k);

    // --- steering ---
    bool Enable_Move_Left_Right(int index) const;
    // The move of the left/right buttons (index 0 left, 2 right): true when it moved.
    bool moveLeftRight(int index);
    // The rotate button: sound on every press, then the turn if it fits.
    void rotatePress();
    bool RotateFigure();
    bool CanPlaceRotated(const FigureCells& tmp) const;
    // The inversion button: only while playing.
    void invertPress();
    bool CanInvert() const;
    void InvertFigure();
    // The drop button.
    void dropPress();
    void UpdatePhantom();
    // The row where the box would come to rest if it fell straight down from where it is.
    int restingRow() const;

    // --- state, with the original names ---
    bool C[kColumns][kRows] = {};
    uint8_t bytMaxX = kColumns - 1;
    uint8_t bytMaxY = kRows - 1;
    FigureCells Figura{};
    FigureCells NextFigura{};
    uint8_t bytFigX = kStartX;
    uint8_t bytFigY = 0;
    std::array<tFigure, 6> arrQueue{};  // places 1 to 5
    bool blnFigMorvast = false;
    int32_t lngFigBonus = 0;
    bool blnDrop = false;
    int16_t intTick = 0;
    bool blnPlaying = true;
    bool blnEscPause = false;
    int16_t intPanDir = 1;
    int16_t ForLoop = 0;
    int32_t intCells = 0;
    int16_t intPlace = 0;     // the running place in the records table, 0 = first
    bool dropEnabled = true;  // cmdDown.Enabled
    PlaySettings settings;
    Score score;

    // True from the moment the end of the game is found until a new game starts.
    bool ended() const { return ended_; }
    RandomSource& rnd() { return rnd_; }

  private:
    void land();
    void stir(int calls);
    // Discards 2 x seconds + 1 values of the random stream.
    void stirRandom();
    bool fallBlockedAt(int boxY) const;

    GameListener& out_;
    RandomSource& rnd_;
    const Clock& clock_;
    bool ended_ = false;
};

// Cells of a pattern string: character 4 x column + row + 1 is the cell (column, row).
FigureCells cellsFromPattern(const std::string& pattern);

}  // namespace morvast
