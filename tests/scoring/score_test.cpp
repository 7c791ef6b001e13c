#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "scoring/score.h"

namespace morvast {
namespace {

struct Panel : ScoreListener {
    std::vector<std::string> stats, remain;
    std::vector<int> levels, times;
    std::vector<SoundEffect> sounds;
    std::vector<std::string> lineCaptions, firma;
    int blinks = 0;
    void playSound(SoundEffect s) override { sounds.push_back(s); }
    void showTimeBonus(int v, int64_t) override { times.push_back(v); }
    void remainChanged(const std::string& d) override { remain.push_back(d); }
    void levelCaptionChanged(int l) override { levels.push_back(l); }
    void startLevelBlink() override { ++blinks; }
    void lineBonusAwarded(int, const std::string& c) override { lineCaptions.push_back(c); }
    void addStatistic(const std::string& l, bool) override { stats.push_back(l); }
    void specialFigureAnnounced(const Announcement& a) override { firma.push_back(a.caption); }
};

TEST(LevelTest, NinthLineRaisesTheLevelUpToTenAndStops) {
    Panel p;
    Score s(p);
    s.lngScore = 12355;
    for (int i = 0; i < 9; ++i)
        s.levelStep();
    EXPECT_EQ(p.remain[7], "1");
    EXPECT_EQ(p.remain.back(), "123456789");
    EXPECT_EQ(std::tuple(s.intLevel, s.intSpeed, s.intLevelLines), std::tuple(1, 15, 0));
    EXPECT_EQ(p.stats, (std::vector<std::string>{"...Level # 1", "...Score : 1236"}));
    EXPECT_EQ(std::pair(p.levels, p.blinks), std::pair(std::vector{1}, 1));

    for (int i = 0; i < 9 * 10; ++i)
        s.levelStep();
    EXPECT_EQ(p.remain.back(), "123456789");
    s.levelStep();
    EXPECT_EQ(p.remain.back(), "");
    EXPECT_EQ(std::tuple(s.intLevel, s.intSpeed, s.intLevelLines), std::tuple(10, 150, 10));
    EXPECT_EQ(std::pair(p.levels.back(), p.blinks), std::pair(10, 10));
}

TEST(AwardTest, LineBonusesTimeBonusesAndStatisticLines) {
    Panel p;
    Score s(p);
    EXPECT_EQ(std::vector({lineBonus(1), lineBonus(2), lineBonus(3), lineBonus(4)}),
              std::vector({2750, 8000, 22250, 50000}));
    for (int i = 0; i < 3; ++i) {
        s.awardLinesTimeAndCells(2, 0);
        s.finishAward(2);
    }
    EXPECT_EQ(p.lineCaptions.back(), "2-Lines*3 = 2400");
    EXPECT_EQ(s.lngLinesTimes[2], 3);

    // 201 time points with the counter at 0, plus two figures' cells: 8 x 0.4.
    s.lngScore = 0;
    s.awardLinesTimeAndCells(0, 8);
    s.finishAward(0);
    EXPECT_EQ(p.stats.back(), "4. +204");  // 2010 + 32 tenths
    EXPECT_FALSE(s.scoreIsDashes);

    // The counter stops at 201, showing 0: no time bonus after 200 counted ticks.
    for (int i = 0; i < 300; ++i)
        s.timeCounterStep(false);
    EXPECT_EQ(s.intTimeCount, 201);
    EXPECT_EQ(p.times.back(), 0);
    s.lngScore = 0;
    s.awardLinesTimeAndCells(0, 0);
    EXPECT_EQ(s.lngScore, 0);
    s.finishAward(0);
    EXPECT_EQ(s.intTimeCount, 0);
}

TEST(AnnouncementTest, CaptionSoundAndStatisticBySortOfFigure) {
    Panel p;
    Score s(p);
    s.announceNextFigure("0100000000000000", true, 40001);  // first figure: no sound
    EXPECT_EQ(p.firma.back(), "Morvast-фигурка Bonus 4000");
    EXPECT_EQ(p.stats.back(), "...Morvast");

    s.scoreIsDashes = false;
    s.announceNextFigure(kSuperFigure, true, 250000);
    EXPECT_EQ(p.sounds, std::vector<SoundEffect>{SoundEffect::Morvast});
    EXPECT_EQ(p.stats.back(), "...SUPER MORVAST !!!");
}

}  // namespace
}  // namespace morvast
