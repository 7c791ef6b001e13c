#include "settings/app_paths.h"
#include "windows/frm_main.h"
#include "windows/game_sounds.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // One style everywhere, so that the design colours of buttons show as designed.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    morvast::frmMain window;
    morvast::GameSounds sounds(window);
    window.setSoundPort(&sounds);
    window.setSettingsFolder(morvast::programFolder());
    window.show();
    const int code = app.exec();
    window.setSoundPort(nullptr);
    return code;
}
