#include "settings/app_paths.h"
#include "windows/main/frm_main.h"
#include "windows/main/game_sounds.h"
#include "windows/widgets/platform_choice.h"
#include "windows/main/session_end.h"

#include <QApplication>
#include <QByteArrayList>
#include <QList>
#include <QStyleFactory>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// What Qt says while it looks for a display, held back until it is known whether one opened.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
QList<HeldMessage> heldMessages;
QtMessageHandler qtHandler = nullptr;

QByteArray displayTried() {
    QByteArrayList said;
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"})
        if (const QByteArray v = qgetenv(name); !v.isEmpty()) said.append(name + ("=" + v));
    if (!qEnvironmentVariableIsSet("DISPLAY")) said.append("DISPLAY is not set");
    return said.join(", ");
}

// Without a display Qt gives up with a fatal message, advice to reinstall and an abort that
// leaves a core file; none of that helps a player, so the start says what is wrong and ends.
void startUpMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        heldMessages.append({type, QByteArray(context.category), message});
        return;
    }
    std::fprintf(stderr, "Morvast XII VelkNET: no display could be opened (%s).\n",
                 displayTried().constData());
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

int main(int argc, char* argv[]) {
    // A write beyond the file-size limit then fails with an error, handled as a full disk is,
    // rather than killing the program in the middle of a save.
    std::signal(SIGXFSZ, SIG_IGN);
    const morvast::PlatformChoice platform = morvast::choosePlatform(
        std::getenv("QT_QPA_PLATFORM"), std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY"));
    if (!platform.platform.isEmpty()) qputenv("QT_QPA_PLATFORM", platform.platform);
    if (platform.placesLeftToDesktop)
        std::fputs(
            "Morvast XII VelkNET: Wayland without X11; window places are left to the "
            "desktop.\n",
            stderr);
    qtHandler = qInstallMessageHandler(startUpMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
    for (const HeldMessage& m : std::as_const(heldMessages))
        qtHandler(m.type, QMessageLogContext(nullptr, 0, nullptr, m.category.constData()), m.text);
    heldMessages.clear();

    // One style everywhere, so that the design colours of buttons show as designed.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    morvast::frmMain window;
    morvast::GameSounds sounds(window);
    window.setSoundPort(&sounds);
    window.setSettingsFolder(morvast::dataFolder());
    morvast::closeOnTermination(&window);
    window.show();
    // A request to end that came while the first window loaded has closed it already; the loop
    // would not see it.
    const int code = morvast::terminationRequested() ? 0 : app.exec();
    window.setSoundPort(nullptr);
    return code;
}
