// Prints where each named control of the program's windows lies, as the windows lay them out:
// one line "WINDOW NAME X Y WIDTH HEIGHT" per control, in pixels of the window's client area.
// The end-to-end tests click controls by name through it instead of redoing the layout's sums.
#include <cstdio>

#include <QApplication>
#include <QWidget>

#include "windows/forms/frm_game_over.h"
#include "windows/forms/frm_help.h"
#include "windows/forms/frm_open.h"
#include "windows/forms/frm_settings.h"
#include "windows/main/frm_main.h"

namespace {

void print(const char* window, const QWidget& top) {
    for (const QWidget* w : top.findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
        const QPoint at = w->mapTo(&top, QPoint(0, 0));
        std::printf("%s %s %d %d %d %d\n", window, name.toUtf8().constData(), at.x(), at.y(),
                    w->width(), w->height());
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The layout of the tests' X server: no scaling, and nothing shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    QApplication app(argc, argv);
    using namespace morvast;

    frmMain main;
    print("main", main);
    MainSettings settings;
    PlaySettings play;
    int16_t forLoop = 0;
    frmOpen chooser;
    print("settings", frmSettings(SettingsTargets{settings, play, forLoop, nullptr, chooser}));
    print("help", frmHelp());
    print("gameover", frmGameOver());
    return std::fflush(stdout) == 0 ? 0 : 1;
}
