#pragma once

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "engine/game.h"

namespace morvast::test {

// Hands out scripted values first, then 0.1; counts every draw.
class ScriptedRandom : public RandomSource {
  public:
    std::deque<double> script;
    int draws = 0;
    double next() override {
        ++draws;
        if (script.empty()) return 0.1;
        const double v = script.front();
        script.pop_front();
        return v;
    }
};

class FixedClock : public Clock {
  public:
    int sec = 0;
    int seconds() const override { return sec; }
};

// Writes every call as one line, so tests can check what happened and in which order.
class RecordingListener : public GameListener {
  public:
    std::vector<std::string> log;
    std::vector<int> pans;

    void playSound(SoundEffect s) override { put("sound", int(s)); }
    void showTimeBonus(int v, int64_t) override { put("time", v); }
    void remainChanged(const std::string& d) override { log.push_back("remain " + d); }
    void lineBonusAwarded(int, const std::string& c) override { log.push_back("lines " + c); }
    void morvastBonusChanged(const std::string& c) override { log.push_back("morvast " + c); }
    void scoreChanged(int64_t s) override { put("score", s); }
    void addStatistic(const std::string& line, bool) override { log.push_back("stat " + line); }
    void setMusicPan(int16_t& p) override { pans.push_back(p); }
    void drawFigure() override { log.push_back("drawFigure"); }
    void drawField() override { log.push_back("drawField"); }
    void drawGrid() override { log.push_back("drawGrid"); }
    void drawNext() override { log.push_back("drawNext"); }
    void drawFuture() override { log.push_back("drawFuture"); }
    void drawPhantom(int x, int y) override { put("phantom", x * 100 + y); }
    void landingBegins() override { log.push_back("landing"); }
    void dropButtonEnabled(bool e) override { log.push_back(e ? "dropOn" : "dropOff"); }
    void updatePlace(int64_t s) override { put("place", s); }
    void finishGame(int64_t s) override { put("finish", s); }

    int count(const std::string& prefix) const {
        return static_cast<int>(std::count_if(
            log.begin(), log.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
    }

  private:
    void put(const char* what, int64_t v) { log.push_back(what + (" " + std::to_string(v))); }
};

// A game with scripted randomness (every figure the bar-of-three shape, never special) and the
// music sweep off.
struct Fixture {
    RecordingListener out;
    ScriptedRandom rnd;
    FixedClock clock;
    Game game{out, rnd, clock};

    Fixture() {
        game.settings.EnableLoop = false;
        game.newGame();
        out.log.clear();
    }
    void setFigure(const std::string& pattern, int x = Game::kStartX, int y = 0) {
        game.arrQueue[1].Pattern = pattern;
        game.Figura = cellsFromPattern(pattern);
        game.bytFigX = static_cast<uint8_t>(x);
        game.bytFigY = static_cast<uint8_t>(y);
    }
    void fillRow(int row, int skipColumn = -1) {
        for (int x = 4; x <= 18; ++x)
            game.C[x][row] = (x != skipColumn);
    }
    int filledInRow(int row) const {
        int n = 0;
        for (int x = 0; x < Game::kColumns; ++x)
            n += game.C[x][row];
        return n;
    }
    // Drops the current figure and ticks until it has landed.
    void dropAndLand() {
        const int before = out.count("landing");
        game.blnDrop = true;
        while (out.count("landing") == before)
            game.tmrDown_Timer();
    }
};

inline constexpr const char* kBar = "0000111100000000";
inline constexpr const char* kSquare = "0000011001100000";

}  // namespace morvast::test
