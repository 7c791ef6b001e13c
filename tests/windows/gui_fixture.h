#pragma once

#include <deque>
#include <memory>
#include <vector>

#include <QApplication>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include "engine/random.h"
#include "windows/frm_main.h"
#include "windows/picture_box.h"

namespace morvast::testing {

// One application for the whole test program, on the offscreen platform unless told otherwise.
// It is destroyed when the tests end, before the program's static objects go.
class AppEnvironment : public ::testing::Environment {
  public:
    static QApplication& get() {
        if (!instance_) {
            static int argc = 1;
            static char name[] = "windows_tests";
            static char* argv[] = {name, nullptr};
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            instance_ = new QApplication(argc, argv);
            QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
            ::testing::AddGlobalTestEnvironment(new AppEnvironment);
        }
        return *instance_;
    }
    void TearDown() override {
        delete instance_;
        instance_ = nullptr;
    }

  private:
    static inline QApplication* instance_ = nullptr;
};

inline QApplication& app() {
    return AppEnvironment::get();
}

class FixedClock final : public Clock {
  public:
    explicit FixedClock(int s) : s_(s) {}
    int seconds() const override { return s_; }

  private:
    int s_;
};

// The game's own generator, except that queued values are handed out first: a test can say
// what the next draws are.
class ScriptedRandom final : public RandomSource {
  public:
    double next() override {
        ++draws;
        if (!queued.empty()) {
            const double v = queued.front();
            queued.pop_front();
            return v;
        }
        return base.next();
    }
    std::deque<double> queued;
    int draws = 0;
    Rnd base;
};

class RecordingSound final : public SoundPort {
  public:
    void play(SoundEffect e) override { played.push_back(e); }
    int count(SoundEffect e) const {
        int n = 0;
        for (SoundEffect p : played)
            n += p == e;
        return n;
    }
    std::vector<SoundEffect> played;
};

// A shown main window with an exact random stream and a clock at second 0.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app();
        w = std::make_unique<frmMain>(&rnd, &clock);
        w->setSoundPort(&sound);
        beforeLoad();
        w->show();
        QApplication::processEvents();
        w->picMorvast->setFocus();
    }
    virtual void beforeLoad() {}
    void TearDown() override {
        w->setSoundPort(nullptr);
        w.reset();
    }

    ScriptedRandom rnd;
    FixedClock clock{0};
    RecordingSound sound;
    std::unique_ptr<frmMain> w;
};

}  // namespace morvast::testing
