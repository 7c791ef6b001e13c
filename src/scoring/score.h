#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "scoring/events.h"

namespace morvast {

inline constexpr const char* kSuperFigure = "1001111110011111";

// The arithmetic of points: score, bonuses, levels and the score panel's texts. Points are held
// in tenths; every shown number is rounded halves to even.
class Score {
  public:
    explicit Score(ScoreListener& listener) : out_(listener) {}

    // The new-game reset of the load handler. The score, the speed and the time counter are not
    // touched here: they start at 0 and the end of a game sets the first two back to 0.
    void resetForNewGame();

    // Start of every falling tick: the time counter counts on while no drop is in progress.
    void timeCounterStep(bool dropping);

    // Once per removed line, right after the removal.
    void levelStep();

    // First part of the award at a landing: line bonus for k removed lines, time and cell bonus.
    void awardLinesTimeAndCells(int k, int cells);
    // The special-figure bonus of the figure that has just landed.
    void awardFigureBonus(int32_t bonus);
    // Last part of the award: time-bonus total, score label, figure count, statistic line.
    void finishAward(int k);

    // Announces the figure just dealt as the next figure.
    void announceNextFigure(const std::string& pattern, bool isMorvast, int32_t bonus);

    int64_t shownScore() const;
    void showTimeBonus(int value) { out_.showTimeBonus(value, lngTimeBonusTotal); }

    // Original names, kept for the windows and the tests.
    int32_t lngScore = 0;
    int32_t lngScoreBefore = 0;
    int32_t lngMorvastBonus = 0;
    int32_t lngTimeBonusTotal = 0;
    std::array<int32_t, 5> lngLinesTimes{};  // indices 1 to 4
    int16_t intLevel = 0;
    int64_t intLevelLines = 0;  // keeps counting at the last level, so it must not wrap
    int16_t intSpeed = 0;
    int64_t intFigures = 0;
    int16_t intTimeCount = 0;
    // lblScore still shows "---": no figure has landed in this game yet.
    bool scoreIsDashes = true;
    // Outline colour of the next figure and the inside colour of its picture.
    uint32_t ColorFigura = 0;
    uint32_t nextFillColour = colour::kDarkBlue;

  private:
    ScoreListener& out_;
};

// The line bonus in tenths for k lines removed at once.
int32_t lineBonus(int k);
// lblRemain's digits after intLevelLines lines of the level.
std::string remainDigits(int64_t levelLines);

}  // namespace morvast
