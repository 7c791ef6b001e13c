#pragma once

#include <deque>
#include <string>
#include <vector>

#include "engine/game.h"

namespace morvast::test {

// Hands out scripted values first, then a fixed fallback; counts every draw.
class ScriptedRandom : public RandomSource {
  public:
    std::deque<double> script;
    double fallback = 0.1;
    int draws = 0;
    double next() override {
        ++draws;
        if (script.empty()) return fallback;
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
    std::vector<std::string> statistics;
    std::vector<int> pans;
    int finished = 0;
    int64_t finishedScore = -1;

    void playSound(SoundEffect s) override { log.push_back("sound " + std::to_string(int(s))); }
    void showTimeBonus(int v, int64_t) override { log.push_back("time " + std::to_string(v)); }
    void remainChanged(const std::string& d) override { log.push_back("remain " + d); }
    void levelCaptionChanged(int l) override { log.push_back("level " + std::to_string(l)); }
    void startLevelBlink() override { log.push_back("levelBlink"); }
    void lineBonusAwarded(int k, const std::string& c) override {
        log.push_back("lines " + std::to_string(k) + " " + c);
    }
    void morvastBonusChanged(const std::string& c) override { log.push_back("morvast " + c); }
    void scoreChanged(int64_t s) override { log.push_back("score " + std::to_string(s)); }
    void addStatistic(const std::string& line, bool) override {
        statistics.push_back(line);
        log.push_back("stat " + line);
    }
    void specialFigureAnnounced(const Announcement& a) override {
        log.push_back("firma " + a.caption);
    }
    void setMusicPan(int16_t& p) override { pans.push_back(p); }
    void drawFigure() override { log.push_back("drawFigure"); }
    void drawField() override { log.push_back("drawField"); }
    void drawGrid() override { log.push_back("drawGrid"); }
    void drawNext() override { log.push_back("drawNext"); }
    void drawFuture() override { log.push_back("drawFuture"); }
    void drawPhantom(int x, int y) override {
        log.push_back("phantom " + std::to_string(x) + "," + std::to_string(y));
    }
    void landingBegins() override { log.push_back("landing"); }
    void dropButtonEnabled(bool e) override { log.push_back(e ? "dropOn" : "dropOff"); }
    void updatePlace(int64_t s) override { log.push_back("place " + std::to_string(s)); }
    void finishGame(int64_t s) override {
        ++finished;
        finishedScore = s;
        log.push_back("finish " + std::to_string(s));
    }

    bool contains(const std::string& entry) const {
        for (const auto& e : log)
            if (e == entry) return true;
        return false;
    }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const auto& e : log)
            if (e.rfind(prefix, 0) == 0) ++n;
        return n;
    }
};

// A game with scripted randomness, the music sweep off and a known falling figure.
struct Fixture {
    RecordingListener out;
    ScriptedRandom rnd;
    FixedClock clock;
    Game game{out, rnd, clock};

    Fixture() {
        game.settings.EnableLoop = false;
        game.newGame();
        out.log.clear();
        out.statistics.clear();
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
    // Ticks until the current figure has landed (a new figure stands at the top).
    int tickUntilLanded(int limit = 100000) {
        int ticks = 0;
        const int before = out.count("landing");
        while (out.count("landing") == before && ticks < limit) {
            game.tmrDown_Timer();
            ++ticks;
        }
        return ticks;
    }
};

inline constexpr const char* kBar = "0000111100000000";
inline constexpr const char* kSquare = "0000011001100000";

}  // namespace morvast::test
