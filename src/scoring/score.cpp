#include "scoring/score.h"

#include <cmath>

#include "scoring/rounding.h"

namespace morvast {

int32_t lineBonus(int k) {
    return static_cast<int32_t>(roundHalfEven(static_cast<double>(k) * k * k * 750 + 2000));
}

std::string remainDigits(int64_t levelLines) {
    std::string s;
    for (int64_t i = 1; i <= 9 - levelLines; ++i)
        s += static_cast<char>('0' + i);
    if (9 - levelLines == 0) s = "123456789";
    return s;
}

void Score::resetForNewGame() {
    intLevel = 0;
    intFigures = 0;
    intLevelLines = 0;
    lngMorvastBonus = 0;
    lngTimeBonusTotal = 0;
    lngLinesTimes = {};
    scoreIsDashes = true;
}

int64_t Score::shownScore() const {
    return shownFromTenths(lngScore);
}

void Score::timeCounterStep(bool dropping) {
    if (dropping || intTimeCount >= 201) return;
    showTimeBonus(200 - intTimeCount);
    ++intTimeCount;
}

void Score::levelStep() {
    ++intLevelLines;
    out_.remainChanged(remainDigits(intLevelLines));
    if (intSpeed < 150 && intLevelLines > 8) {
        intSpeed += 15;
        ++intLevel;
        intLevelLines = 0;
        out_.levelCaptionChanged(intLevel);
        out_.addStatistic("...Level # " + std::to_string(intLevel), false);
        out_.addStatistic("...Score : " + std::to_string(shownScore()), false);
        out_.startLevelBlink();
    }
}

void Score::awardLinesTimeAndCells(int k, int cells) {
    lngScoreBefore = lngScore;
    if (k > 0) {
        out_.playSound(SoundEffect::DelLin);
        const int32_t b = lineBonus(k);
        lngScore += b;
        ++lngLinesTimes[k];
        const int64_t total = shownFromTenths(static_cast<int64_t>(b) * lngLinesTimes[k]);
        out_.lineBonusAwarded(k, std::to_string(k) + "-Lines*" + std::to_string(lngLinesTimes[k]) +
                                     " = " + std::to_string(total));
    }
    lngScore += (201 - intTimeCount) * 10 + cells * 4;
}

void Score::awardFigureBonus(int32_t bonus) {
    lngMorvastBonus += bonus;
    if (lngMorvastBonus > 0)
        out_.morvastBonusChanged("  Morvast Bonus : " +
                                 std::to_string(shownFromTenths(lngMorvastBonus)));
    lngScore += bonus;
}

void Score::finishAward(int k) {
    lngTimeBonusTotal += 201 - intTimeCount;
    showTimeBonus(200 - intTimeCount);
    intTimeCount = 0;
    scoreIsDashes = false;
    out_.scoreChanged(shownScore());
    ++intFigures;
    std::string line =
        std::to_string(intFigures) + ". +" +
        std::to_string(shownFromTenths(static_cast<int64_t>(lngScore) - lngScoreBefore));
    if (k > 0) line += " -> " + std::to_string(k) + " lines";
    out_.addStatistic(line, true);
}

void Score::announceNextFigure(const std::string& pattern, bool isMorvast, int32_t bonus) {
    if (!isMorvast) {
        ColorFigura = colour::kYellow;
        nextFillColour = colour::kBlue;
        return;
    }
    if (!scoreIsDashes) out_.playSound(SoundEffect::Morvast);
    nextFillColour = colour::kRed;
    if (pattern == kSuperFigure) {
        ColorFigura = colour::kWhite;
        out_.specialFigureAnnounced({"This Is Morvast Bonus 25000", colour::kBlue});
        out_.addStatistic("...SUPER MORVAST !!!", false);
    } else {
        out_.specialFigureAnnounced(
            {"Morvast-фигурка Bonus " + std::to_string(shownFromTenths(bonus)), colour::kCyan});
        out_.addStatistic("...Morvast", false);
    }
}

}  // namespace morvast
