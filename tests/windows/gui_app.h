#pragma once

#include <QApplication>
#include <QByteArray>

namespace morvast::test {

// One application per test process, on the offscreen platform so no display is needed.
// scaleFactor is the device-pixel ratio every screen reports; only the first call decides it.
inline QApplication& guiApp(const char* scaleFactor = "1") {
    static int argc = 1;
    static char name[] = "morvast_windows_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [&] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_SCALE_FACTOR", scaleFactor);
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Declared first in a fixture, so the application exists before the fixture's widgets.
struct AppGuard {
    explicit AppGuard(const char* scaleFactor = "1") { guiApp(scaleFactor); }
};

// Runs the event loop until cond holds, for at most a bounded number of rounds (no clock).
template <typename Cond>
bool processUntil(Cond cond, int rounds = 200) {
    for (int i = 0; i < rounds && !cond(); ++i)
        QApplication::processEvents();
    return cond();
}

}  // namespace morvast::test
