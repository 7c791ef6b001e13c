#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPaintEvent>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "engine/random.h"
#include "scoring/records.h"
#include "windows/main/frm_main.h"
#include "windows/widgets/picture_box.h"
#include "windows/widgets/win_colour.h"

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

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QStringList listTexts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// What a label, button or frame shows as its caption.
inline QString caption(const QWidget* c) {
    if (auto* b = qobject_cast<const QAbstractButton*>(c)) return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(c)) return g->title();
    if (auto* l = qobject_cast<const QLabel*>(c)) return l->text();
    ADD_FAILURE() << "no caption on " << c->objectName().toStdString();
    return {};
}

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
        const double v = queued.empty() ? base.next() : queued.front();
        if (!queued.empty()) queued.pop_front();
        return v;
    }
    std::deque<double> queued;
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
    void writeRecords(const QByteArray& bytes) { ASSERT_TRUE(writeFile(recordsPath(), bytes)); }
    QByteArray readRecords() const { return readFile(recordsPath()); }
    // Columns 9 to 12 filled from row 2 down: the figure lands at once and the next one
    // overlaps, so the game ends within a few ticks.
    void fillToTheTop() {
        for (int x = 9; x <= 12; ++x)
            for (int y = 2; y <= 30; ++y)
                w->game.C[x][y] = true;
    }
    // The cells outlined in cyan are exactly the falling figure's.
    bool figureShown() const {
        const PictureCanvas& c = w->picMorvast->canvas();
        for (int x = 4; x <= 18; ++x)
            for (int y = 0; y <= 30; ++y) {
                const int fx = x - w->game.bytFigX, fy = y - w->game.bytFigY;
                const bool in = fx >= 0 && fx < 4 && fy >= 0 && fy < 4 && w->game.Figura[fx][fy];
                const QRect r = c.toDevice(QRectF((x - 4) * 250 + 28, y * 250 + 28, 194, 194));
                if (in !=
                    (c.image().pixel(r.left(), r.center().y()) == colour::toQRgb(colour::kCyan)))
                    return false;
            }
        return true;
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
