#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "engine/random.h"
#include "scoring/records.h"
#include "windows/main/frm_main.h"
#include "windows/widgets/picture_box.h"

#ifndef MORVAST_TEST_SCALE
#define MORVAST_TEST_SCALE "1"
#endif

namespace morvast::testing {

// One application per test program, offscreen, at the device-pixel ratio the program was built
// for. It is never destroyed, so nothing at exit depends on the order of teardown.
inline void app() {
    static int argc = 1;
    static char name[] = "windows_tests";
    static char* argv[] = {name, nullptr};
    static const bool made = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_SCALE_FACTOR", MORVAST_TEST_SCALE);
        new QApplication(argc, argv);
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        return true;
    }();
    (void)made;
}

// Runs the event loop until cond holds, for a bounded number of rounds (no clock involved).
inline bool processUntil(const std::function<bool()>& cond, int rounds = 200) {
    for (int i = 0; i < rounds && !cond(); ++i)
        QApplication::processEvents();
    return cond();
}

// Collects the area of every paint event of the widgets it watches.
struct PaintSpy : QObject {
    QRegion painted;
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region(), ++paints;
        return false;
    }
};

inline void key(QWidget* w, int k, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
}

inline void type(QWidget* w, const QString& text) {
    for (QChar c : text)
        key(w, c.toUpper().unicode(), QString(c));
}

// Runs act on the visible window of type D once the loop that shows it runs. When none shows
// up, the dialogs are rejected so that the test fails instead of waiting.
template <typename D>
void whenShown(std::function<void(D*)> act, int triesLeft = 500) {
    QTimer::singleShot(triesLeft == 500 ? 0 : 10, [act, triesLeft] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<D*>(w); d && d->isVisible()) return act(d);
        if (triesLeft > 0) return whenShown<D>(act, triesLeft - 1);
        ADD_FAILURE() << "window not shown";
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
    });
}

class FixedClock final : public Clock {
  public:
    int seconds() const override { return 0; }
};

// The game's own generator, except that queued values are handed out first.
class ScriptedRandom final : public RandomSource {
  public:
    double next() override {
        ++draws;
        const double v = queued.empty() ? base.next() : queued.front();
        if (!queued.empty()) queued.pop_front();
        return v;
    }
    std::deque<double> queued;
    int draws = 0;
    Rnd base;
};

class RecordingSound final : public SoundPort {
  public:
    void play(SoundEffect e) override { played.push_back(e); }
    std::vector<SoundEffect> played;
};

// A shown main window with a clock at second 0 and known first draws: second 0 stirs one
// value away, then come the button colour, the place colours and the time colours. Its records
// file, empty unless a test writes one first, lies in a folder of its own; the end of the
// program is only counted.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app();
        rnd.queued = {0.99, 0.5, 0.0, 0.5, 0.25, 0.5, 0.75};
        w = std::make_unique<frmMain>(&rnd, &clock);
        w->setSoundPort(&sound);
        w->setRecordsFolder(recordsDir.path());
        w->setProgramEnd([this] { ++programEnds; });
        writeRecords(QByteArray());
        beforeLoad();
        w->show();
        QApplication::processEvents();
        w->picMorvast->setFocus();
    }
    virtual void beforeLoad() {}
    QString recordsPath() const { return recordsDir.filePath(RecordsFile::kFileName); }
    void writeRecords(const QByteArray& bytes) {
        QFile f(recordsPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    QByteArray readRecords() const {
        QFile f(recordsPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void TearDown() override {
        w->setSoundPort(nullptr);
        w.reset();
    }

    ScriptedRandom rnd;
    FixedClock clock;
    RecordingSound sound;
    QTemporaryDir recordsDir;
    int programEnds = 0;
    std::unique_ptr<frmMain> w;
};

}  // namespace morvast::testing
