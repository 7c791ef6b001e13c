#pragma once

#include <cstdint>
#include <string>

#include "scoring/colour.h"
#include "scoring/sound_effects.h"

namespace morvast {

// What the score panel shows when a special figure is dealt as the next figure.
struct Announcement {
    std::string caption;      // lblFirma
    uint32_t textColour = 0;  // lblFirma's text colour
};

// Every point where the arithmetic of points touches the score panel, the statistic list or a
// sound. Calls come in exactly the order in which the game makes them.
class ScoreListener {
  public:
    virtual ~ScoreListener() = default;
    virtual void playSound(SoundEffect) {}
    // lblTimeBonus shows value, lblTotalScore shows the time-bonus total.
    virtual void showTimeBonus(int value, int64_t total) { (void)value, (void)total; }
    virtual void remainChanged(const std::string& digits) { (void)digits; }
    // lblLevel's caption becomes "Level # level".
    virtual void levelCaptionChanged(int level) { (void)level; }
    virtual void startLevelBlink() {}
    // All four line labels turn yellow, the blink of label k starts (or starts over), and
    // label k takes the caption.
    virtual void lineBonusAwarded(int k, const std::string& caption) { (void)k, (void)caption; }
    virtual void morvastBonusChanged(const std::string& caption) { (void)caption; }
    virtual void scoreChanged(int64_t shown) { (void)shown; }
    // A line for the statistic list; selectLast scrolls the list to it.
    virtual void addStatistic(const std::string& line, bool selectLast) {
        (void)line, (void)selectLast;
    }
    // A special figure was dealt as the next figure: show lblFirma with this caption and colour.
    virtual void specialFigureAnnounced(const Announcement&) {}
};

}  // namespace morvast
