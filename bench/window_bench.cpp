// Prints how quickly the main window comes up, what a second of play costs in CPU time, how
// long one key press takes from the event to the repainted field, and how the private memory
// grows while a steering button is pressed many thousand times.
//
//   window_bench [seconds per CPU measurement, default 5] [steering presses, default 6000]
//
// Runs on the platform that QT_QPA_PLATFORM names (offscreen when unset).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>

#include "windows/frm_enter_name.h"
#include "windows/frm_game_over.h"
#include "windows/frm_main.h"
#include "windows/picture_box.h"

namespace {

double nowSeconds(clockid_t id) {
    timespec ts{};
    clock_gettime(id, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

// Seconds since this process was started by the kernel (resolution: one clock tick).
double secondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text;
    std::getline(stat, text);
    // Field 22 is the start time; fields after the command name (in parentheses) are plain.
    std::istringstream rest(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i)
        rest >> field;
    const double start = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    return nowSeconds(CLOCK_BOOTTIME) - start;
}

struct FirstPaint : QObject {
    double at = -1;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && at < 0) at = secondsSinceProcessStart();
        return false;
    }
};

// Private dirty memory of the process in kB: what the heap and the caches hold. Clean pages are
// left out, since a library's code counts as private only while no other process maps it.
long privateKb() {
    std::ifstream rollup("/proc/self/smaps_rollup");
    long total = 0;
    for (std::string line; std::getline(rollup, line);)
        if (line.rfind("Private_Dirty:", 0) == 0) total += std::stol(line.substr(14));
    return total;
}

// Answers the end of a game as a player would: the name is refused and "Yes" starts a new
// game; fast keeps the new game on speed 150, the fastest level.
class FastLevel : public QObject {
  public:
    explicit FastLevel(morvast::frmMain& w, bool fast = true) : w_(w), fast_(fast) {
        startTimer(10);
    }

  protected:
    void timerEvent(QTimerEvent*) override {
        bool dialog = false;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible()) continue;
            if (auto* d = qobject_cast<morvast::frmEnterName*>(top)) dialog = true, d->close();
            if (auto* d = qobject_cast<morvast::frmGameOver*>(top))
                dialog = true, d->cmdYes->click();
        }
        if (!dialog && fast_) w_.game.score.intSpeed = 150;
    }

  private:
    morvast::frmMain& w_;
    bool fast_;
};

void runFor(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

void printCpuPerSecond(const char* what, double seconds) {
    const double cpu0 = nowSeconds(CLOCK_PROCESS_CPUTIME_ID), wall0 = nowSeconds(CLOCK_MONOTONIC);
    runFor(seconds);
    const double cpu = nowSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    std::printf("CPU per second, %-24s %.2f %% of one core\n", what,
                100 * cpu / (nowSeconds(CLOCK_MONOTONIC) - wall0));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    const int presses = argc > 2 ? std::atoi(argv[2]) : 6000;
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    morvast::frmMain w;
    // The games' results go to a folder of their own, not beside the program.
    QTemporaryDir records;
    w.setRecordsFolder(records.path());
    // A first start: the settings file is written with the defaults and read, in a folder of
    // its own.
    w.setSettingsFolder(records.path());
    FirstPaint firstPaint;
    w.picMorvast->installEventFilter(&firstPaint);
    w.show();
    while (firstPaint.at < 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("process start to first painted field: %.1f ms\n", firstPaint.at * 1000);

    runFor(0.5);  // let start-up settle
    printCpuPerSecond("playing at level 0:", seconds);

    {
        FastLevel fast(w);
        w.game.score.intSpeed = 150;
        printCpuPerSecond("playing, fastest level:", seconds);
    }
    w.Form_Load();

    w.chkPause->setChecked(true);
    printCpuPerSecond("paused:", seconds);

    // Key presses with the game paused by code only, so that nothing but the key runs; the
    // steering rules need a running game, so the playing flag is set back.
    w.game.blnPlaying = true;
    using Clock = std::chrono::steady_clock;
    std::vector<double> us;
    for (int i = 0; i < 2000; ++i) {
        const Qt::Key key = (i / 3) % 2 == 0 ? Qt::Key_Left : Qt::Key_Right;
        const auto t0 = Clock::now();
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent e(type, key, Qt::NoModifier);
            QApplication::sendEvent(w.picMorvast, &e);
        }
        // The repaint of what the press drew.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    std::sort(us.begin(), us.end());
    std::printf("key press handled and repainted: median %.0f us, 99th %.0f us\n",
                us[us.size() / 2], us[us.size() * 99 / 100]);

    // Up pressed and released again and again in a running game, each press and release
    // repainted: the turn button changes its colour twice per press.
    w.chkPause->setChecked(false);
    FastLevel answer(w, false);
    runFor(0.2);
    const long before = privateKb();
    for (int i = 1; i <= presses; ++i) {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent e(type, Qt::Key_Up, Qt::NoModifier);
            QApplication::sendEvent(w.picMorvast, &e);
            QCoreApplication::processEvents();
        }
        if (i % (presses / 2 > 0 ? presses / 2 : 1) == 0)
            std::printf("private memory after %d presses of Up: %+.1f MB (%.1f MB in all)\n", i,
                        (privateKb() - before) / 1024.0, privateKb() / 1024.0);
    }
    return 0;
}
