// Prints how quickly the main window comes up, what a second of play costs in CPU time and
// wakeups, thread by thread, how long one key press takes from the event to the repainted
// field, and how the private memory grows while a steering button is pressed many thousand
// times. Each figure of the first part stands beside the floor: a bare window of the game's
// size ticking at 64 Hz, started as a process of its own in the same run.
//
//   window_bench [seconds per CPU measurement, default 10] [steering presses, default 6000]
//
// Runs on the platform that QT_QPA_PLATFORM names (offscreen when unset), with SDL's dummy audio
// driver unless SDL_AUDIODRIVER says otherwise; the default background music and the player's
// default file both sound. MORVAST_BENCH_MEDIA names another folder to take the media from (odd
// or huge files under the default names); "window_bench 0" then only starts the game and prints
// when its media are open.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>

#include "proc_memory.h"
#include "windows/forms/frm_enter_name.h"
#include "windows/forms/frm_game_over.h"
#include "windows/main/frm_main.h"
#include "windows/main/game_sounds.h"
#include "windows/widgets/picture_box.h"
#include "windows/widgets/twips.h"

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

// CPU time and wakeups of every thread of this process, from its own task list.
struct ThreadUse {
    std::string name;
    double cpu = 0;    // seconds
    long wakeups = 0;  // voluntary context switches: each is a sleep that ended
};

std::map<int, ThreadUse> threadUse() {
    std::map<int, ThreadUse> use;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        const int tid = std::stoi(task.path().filename().string());
        ThreadUse& u = use[tid];
        std::ifstream(task.path() / "comm") >> u.name;
        // Nanoseconds on the CPU where the kernel keeps them, else clock ticks from stat.
        if (std::ifstream sched(task.path() / "schedstat"); sched >> u.cpu) {
            u.cpu *= 1e-9;
        } else {
            std::ifstream stat(task.path() / "stat");
            std::string text;
            std::getline(stat, text);
            std::istringstream rest(text.substr(text.rfind(')') + 2));
            std::string field;
            double ticks = 0;
            for (int i = 3; i <= 15; ++i) {
                rest >> field;
                if (i >= 14) ticks += std::stod(field);
            }
            u.cpu = ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
        }
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                u.wakeups = std::stol(line.substr(line.find(':') + 1));
        }
    }
    return use;
}

// The peak resident size of the process.
long peakResidentKiB() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("VmHWM:")) return std::stol(line.substr(line.find(':') + 1));
    }
    return 0;
}

// Runs for the given time and prints, per thread and in all, CPU in % of one core and wakeups
// per second; the last line is machine-readable for the launcher.
void printThreadUse(double seconds) {
    const auto before = threadUse();
    const long memory0 = morvast::bench::privateKiB();
    const double wall0 = nowSeconds(CLOCK_MONOTONIC);
    runFor(seconds);
    const long grown = morvast::bench::privateKiB() - memory0;
    const double wall = nowSeconds(CLOCK_MONOTONIC) - wall0;
    double cpu = 0, wakeups = 0;
    for (const auto& [tid, after] : threadUse()) {
        const auto was = before.find(tid);
        const double c = after.cpu - (was != before.end() ? was->second.cpu : 0);
        const double w =
            static_cast<double>(after.wakeups - (was != before.end() ? was->second.wakeups : 0));
        cpu += c;
        wakeups += w;
        std::printf("  thread %-16s %6.1f wakeups/s  %5.2f %% CPU\n", after.name.c_str(), w / wall,
                    100 * c / wall);
    }
    std::printf("RESULT cpu=%.3f wakeups=%.1f grown=%ld\n", 100 * cpu / wall, wakeups / wall,
                grown);
}

// The floor: a bare window of the game's size whose timer ticks at 64 Hz, painting nothing.
int runFloor(int argc, char* argv[], double seconds) {
    QApplication app(argc, argv);
    QWidget w;
    w.setFixedSize(morvast::px(6810), morvast::px(8805));
    FirstPaint firstPaint;
    w.installEventFilter(&firstPaint);
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [] {});
    tick.start(1000 / 64);
    w.show();
    while (firstPaint.at < 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("RESULT paint=%.1f\n", firstPaint.at * 1000);
    if (seconds <= 0) return 0;
    runFor(0.5);
    printThreadUse(seconds);
    return 0;
}

// Runs this program again with the given mode and returns the RESULT fields it printed; its
// other lines are passed through.
std::map<std::string, double> runChild(const char* self, const char* mode, double seconds) {
    std::map<std::string, double> fields;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return fields;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        const std::string secs = std::to_string(seconds);
        execl(self, self, mode, secs.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    FILE* out = fdopen(pipeFds[0], "r");
    char line[512];
    while (out && std::fgets(line, sizeof line, out)) {
        std::string text(line);
        if (text.rfind("RESULT ", 0) != 0) {
            std::fputs(line, stdout);
            continue;
        }
        std::istringstream pairs(text.substr(7));
        for (std::string pair; pairs >> pair;) {
            const auto eq = pair.find('=');
            fields[pair.substr(0, eq)] = std::stod(pair.substr(eq + 1));
        }
    }
    if (out) std::fclose(out);
    int status = 0;
    waitpid(pid, &status, 0);
    return fields;
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
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode != "--floor" && mode != "--game") {
        const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
        // The game's process reads it from its environment.
        if (argc > 2) setenv("MORVAST_BENCH_PRESSES", argv[2], 1);
        const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        if (seconds <= 0) {
            auto game = runChild(self.c_str(), "--game", 0);
            std::printf(
                "first paint %.1f ms, media open %.1f ms after the start (%.1f ms of CPU time), "
                "peak resident %.0f MiB\n",
                game["paint"], game["ready"], game["readycpu"], game["peak"] / 1024);
            return 0;
        }
        // A first start warms the caches of the libraries and the display for both.
        runChild(self.c_str(), "--floor", 0);
        std::printf("floor, a bare window ticking at 64 Hz:\n");
        std::fflush(stdout);
        auto floor = runChild(self.c_str(), "--floor", seconds);
        std::printf("the game, level 0, default settings:\n");
        std::fflush(stdout);
        auto game = runChild(self.c_str(), "--game", seconds);
        std::printf("first paint:  game %.1f ms, floor %.1f ms (goal at most %.1f ms)\n",
                    game["paint"], floor["paint"], 1.5 * floor["paint"] + 20);
        std::printf("CPU:          game %.2f %%, floor %.2f %% (goal at most %.2f %%)\n",
                    game["cpu"], floor["cpu"], floor["cpu"] + 0.6);
        std::printf("wakeups/s:    game %.0f, floor %.0f (goal at most 200)\n", game["wakeups"],
                    floor["wakeups"]);
        std::printf("media open:   %.1f ms after the start, peak resident %.0f MiB\n",
                    game["ready"], game["peak"] / 1024);
        std::printf("private memory over the %.0f s: %+.0f KiB\n", seconds, game["grown"]);
        return 0;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    if (mode == "--floor") return runFloor(argc, argv, seconds);

    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    morvast::frmMain w;
    morvast::GameSounds sounds(w);
    w.setSoundPort(&sounds);
    // The games' results go to a folder of their own, not beside the program.
    QTemporaryDir records;
    w.setRecordsFolder(records.path());
    // A first start: the settings file is written with the defaults and read, in a folder of
    // its own, beside the built media, so that the default files sound.
    const QString media = qEnvironmentVariableIsEmpty("MORVAST_BENCH_MEDIA")
                              ? QStringLiteral(MORVAST_PROGRAM_DIR "/sound")
                              : qEnvironmentVariable("MORVAST_BENCH_MEDIA");
    QFile::link(media, records.filePath("sound"));
    w.setSettingsFolder(records.path());
    FirstPaint firstPaint;
    w.picMorvast->installEventFilter(&firstPaint);
    w.show();
    while (firstPaint.at < 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("RESULT paint=%.1f\n", firstPaint.at * 1000);
    // The media open with the first load or just after the first paint; the loop is free again
    // once they are.
    while (!sounds.system())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    std::printf("RESULT ready=%.1f readycpu=%.1f peak=%ld\n", secondsSinceProcessStart() * 1000,
                nowSeconds(CLOCK_PROCESS_CPUTIME_ID) * 1000, peakResidentKiB());
    std::fflush(stdout);
    if (seconds <= 0) {
        w.setSoundPort(nullptr);
        return 0;
    }

    runFor(0.5);  // let start-up settle
    printThreadUse(seconds);
    std::fflush(stdout);

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
    const int presses = qEnvironmentVariableIsEmpty("MORVAST_BENCH_PRESSES")
                            ? 6000
                            : qEnvironmentVariableIntValue("MORVAST_BENCH_PRESSES");
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
    w.setSoundPort(nullptr);
    return 0;
}
