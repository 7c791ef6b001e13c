#include "engine/game.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "scoring/rounding.h"

namespace morvast {

namespace {

constexpr const char* kCatalogue[7] = {
    "0000111010000000",  // bar of three, a cell right of its top
    "0000011100010000",  // bar of three, a cell right of its foot
    "0000111100000000",  // bar of four
    "0000010001100010",  // Z lying flat
    "0000001001100100",  // S lying flat
    "0000001001110000",  // T, stem to the left
    "0000011001100000",  // square
};

int16_t saturate16(int value) {
    return static_cast<int16_t>(std::clamp<int>(value, std::numeric_limits<int16_t>::min(),
                                                std::numeric_limits<int16_t>::max()));
}

}  // namespace

FigureCells cellsFromPattern(const std::string& pattern) {
    FigureCells cells{};
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y) {
            const size_t k = static_cast<size_t>(4 * x + y);
            cells[x][y] = k < pattern.size() && pattern[k] == '1';
        }
    return cells;
}

Game::Game(GameListener& listener, RandomSource& rnd, const Clock& clock)
    : score(listener), out_(listener), rnd_(rnd), clock_(clock) {}

// ---------------------------------------------------------------- new game

void Game::resetForNewGame() {
    for (auto& column : C)
        std::fill(std::begin(column), std::end(column), false);
    bytMaxX = kColumns - 1;
    bytMaxY = kRows - 1;
    Figura = {};
    NextFigura = {};
    bytFigX = kStartX;
    bytFigY = 0;
    intCells = 0;
    intTick = 0;
    blnDrop = false;
    blnPlaying = true;
    dropEnabled = true;
    ended_ = false;
    score.resetForNewGame();
}

void Game::stir(int calls) {
    for (int i = 0; i < calls; ++i)
        rnd_.next();
}

void Game::stirRandom() {
    stir(2 * clock_.seconds() + 1);
}

void Game::newGame(const std::function<void()>& colours) {
    resetForNewGame();
    stirRandom();
    if (colours) colours();
    for (int i = 1; i <= 5; ++i) {
        arrQueue[i].Pattern = ChooseFigure();
        arrQueue[i].Bonus = lngFigBonus;
        arrQueue[i].IsMorvast = blnFigMorvast;
    }
    Initialize_Array_For_Figure(Figura, arrQueue[1].Pattern);
    Initialize_Array_For_Figure(NextFigura, arrQueue[2].Pattern);
    score.announceNextFigure(arrQueue[2].Pattern, arrQueue[2].IsMorvast, arrQueue[2].Bonus);
}

// ---------------------------------------------------------------- catalogue and field

std::string Game::ChooseFigure() {
    stirRandom();
    lngFigBonus = 0;
    const int d = std::min(6, static_cast<int>(rnd_.next() * 7));
    std::string pattern = kCatalogue[d];
    blnFigMorvast = false;
    if (static_cast<int>(std::floor(rnd_.next() * 50)) == 25) {
        Initialize_Array_For_Morvast(pattern);
        blnFigMorvast = true;
        if (pattern != kSuperFigure)
            lngFigBonus = static_cast<int32_t>(roundHalfEven(rnd_.next() * 20001 + 30000));
        else
            lngFigBonus = 250000;
    }
    return pattern;
}

void Game::Initialize_Array_For_Morvast(std::string& strMorvast) {
    stir(clock_.seconds() + 1);
    strMorvast.clear();
    int filled = 0;
    for (int i = 0; i < 16; ++i) {
        if (rnd_.next() >= 0.8) {
            strMorvast += '1';
            ++filled;
        } else {
            strMorvast += '0';
        }
    }
    if (filled == 0) strMorvast = kSuperFigure;
}

void Game::Initialize_Array_For_Figure(FigureCells& cells, const std::string& strFIG) {
    cells = cellsFromPattern(strFIG);
    for (const auto& column : cells)
        for (bool cell : column)
            if (cell) ++intCells;
    UpdatePhantom();
}

void Game::Update_Array_C() {
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y)
            if (Figura[x][y]) C[bytFigX + x][bytFigY + y] = true;
    dropEnabled = true;
    out_.dropButtonEnabled(true);
}

bool Game::GameOver() const {
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y)
            if (C[bytFigX + x][bytFigY + y] && Figura[x][y]) return true;
    return false;
}

void Game::ShiftQueue() {
    for (int i = 2; i <= 5; ++i)
        arrQueue[i - 1] = arrQueue[i];
    arrQueue[5].Pattern = ChooseFigure();
    arrQueue[5].Bonus = lngFigBonus;
    arrQueue[5].IsMorvast = blnFigMorvast;
}

// ---------------------------------------------------------------- the falling tick

void Game::tmrDown_Timer() {
    // A modal end-of-game dialog keeps the timer running; the ended game must stay as it is.
    if (ended_) return;
    ++intTick;
    score.timeCounterStep(blnDrop);
    if (settings.EnableLoop) {
        out_.setMusicPan(ForLoop);
        if (ForLoop > kPanSweepLimit || ForLoop < -kPanSweepLimit)
            intPanDir = static_cast<int16_t>(-intPanDir);
        ForLoop = saturate16(ForLoop + intPanDir * settings.SpeedChange);
    }
    if (intTick < 150 - score.intSpeed && !blnDrop) return;
    out_.drawFigure();
    if (CanFall()) {
        ++bytFigY;
        intTick = 0;
        return;
    }
    land();
}

void Game::land() {
    out_.landingBegins();
    Update_Array_C();
    int k = 0;
    RemoveFullLines(k);
    out_.drawField();
    out_.drawGrid();
    out_.playSound(rnd_.next() > 0.5 ? SoundEffect::Down1 : SoundEffect::Down2);
    score.awardLinesTimeAndCells(k, intCells);
    intTick = 0;
    blnDrop = false;
    out_.updatePlace(score.shownScore());
    bytFigX = kStartX;
    bytFigY = 0;
    intCells = 0;
    score.awardFigureBonus(arrQueue[1].Bonus);
    ShiftQueue();
    Initialize_Array_For_Figure(Figura, arrQueue[1].Pattern);
    out_.drawFigure();
    score.announceNextFigure(arrQueue[2].Pattern, arrQueue[2].IsMorvast, arrQueue[2].Bonus);
    Initialize_Array_For_Figure(NextFigura, arrQueue[2].Pattern);
    out_.drawNext();
    score.finishAward(k);
    out_.drawFuture();
    if (GameOver()) {
        ended_ = true;
        out_.finishGame(score.shownScore());
    }
}

bool Game::fallBlockedAt(int boxY) const {
    const int floorRow = bytMaxY - 4;
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y) {
            if (!Figura[x][y]) continue;
            const int row = boxY + y;
            // Inversions never leave a cell below the floor row, so ">=" only guards the array.
            if (row >= floorRow || C[bytFigX + x][row + 1]) return true;
        }
    return false;
}

bool Game::CanFall() const {
    return !fallBlockedAt(bytFigY);
}

void Game::RemoveFullLines(int& k) {
    int y = bytMaxY;
    while (y >= 0) {
        int count = 0;
        for (int x = 0; x <= bytMaxX; ++x)
            if (C[x][y]) ++count;
        if (count == 15) {
            ++k;
            for (int yy = y; yy >= 0; --yy)
                for (int x = 0; x <= bytMaxX; ++x)
                    C[x][yy] = yy > 0 && C[x][yy - 1];
            score.levelStep();
        } else {
            --y;
        }
    }
}

// ---------------------------------------------------------------- steering

bool Game::Enable_Move_Left_Right(int index) const {
    const int n = bytFigX + index - 1;
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y) {
            if (!Figura[x][y]) continue;
            const int col = n + x;
            if (col < 4 || col > bytMaxX - 4 || C[col][bytFigY + y]) return false;
        }
    return true;
}

bool Game::moveLeftRight(int index) {
    if (ended_ || !Enable_Move_Left_Right(index)) return false;
    bytFigX = static_cast<uint8_t>(bytFigX + index - 1);
    out_.playSound(index != 0 ? SoundEffect::Right : SoundEffect::Left);
    UpdatePhantom();
    out_.drawFigure();
    return true;
}

void Game::rotatePress() {
    if (ended_) return;
    out_.playSound(SoundEffect::Rotate);
    RotateFigure();
    UpdatePhantom();
    out_.drawFigure();
}

bool Game::RotateFigure() {
    FigureCells tmp{};
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y)
            tmp[3 - y][x] = Figura[x][y];
    if (!CanPlaceRotated(tmp)) return false;
    Figura = tmp;
    return true;
}

bool Game::CanPlaceRotated(const FigureCells& tmp) const {
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y) {
            if (!tmp[x][y]) continue;
            const int col = bytFigX + x;
            const int row = bytFigY + y;
            if (col < 4 || col >= bytMaxX - 3 || row > bytMaxY - 4 || C[col][row]) return false;
        }
    return true;
}

void Game::invertPress() {
    if (ended_ || !blnPlaying) return;
    if (CanInvert()) InvertFigure();
    UpdatePhantom();
}

bool Game::CanInvert() const {
    if (bytFigX < 4 || bytFigX > 15) return false;
    int filledAfter = 0;
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y) {
            if (C[bytFigX + x][bytFigY + y]) return false;
            if (!Figura[x][y]) {
                // The inverted figure must stay above the floor, or it would fall out of the field.
                if (bytFigY + y > bytMaxY - 4) return false;
                ++filledAfter;
            }
        }
    // A figure of sixteen cells would invert to nothing, which could never land.
    return filledAfter > 0;
}

void Game::InvertFigure() {
    for (auto& column : Figura)
        for (bool& cell : column)
            cell = !cell;
    out_.drawFigure();
    out_.playSound(SoundEffect::Inverse);
}

void Game::dropPress() {
    if (ended_) return;
    blnDrop = true;
    out_.playSound(rnd_.next() > 0.5 ? SoundEffect::Drop1 : SoundEffect::Drop2);
    dropEnabled = false;
    out_.dropButtonEnabled(false);
}

int Game::restingRow() const {
    int y = bytFigY;
    while (!fallBlockedAt(y) && y < bytMaxY - 4)
        ++y;
    return y;
}

void Game::UpdatePhantom() {
    if (settings.iFantom == 0) return;
    if (settings.iFantom == 1 && !arrQueue[1].IsMorvast) return;
    out_.drawPhantom(bytFigX, restingRow());
}

}  // namespace morvast
