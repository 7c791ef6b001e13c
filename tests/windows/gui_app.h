#pragma once

#include <QApplication>

namespace morvast::test {

// One application per test process, on the offscreen platform; scaleFactor is the
// device-pixel ratio of every screen. Declared first in a fixture, so it precedes its widgets.
struct AppGuard {
    explicit AppGuard(const char* scaleFactor = "1") {
        static int argc = 1;
        static char name[] = "morvast_windows_tests";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance()) return;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_SCALE_FACTOR", scaleFactor);
        new QApplication(argc, argv);
    }
};

// Runs the event loop until cond holds, for a bounded number of rounds (no clock involved).
template <typename Cond>
bool processUntil(Cond cond, int rounds = 200) {
    for (int i = 0; i < rounds && !cond(); ++i)
        QApplication::processEvents();
    return cond();
}

}  // namespace morvast::test
