#include "windows/frm_main.h"
#include "windows/game_ports.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // One style everywhere, so that the design colours of buttons show as designed.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    morvast::frmMain window;
    morvast::GameSounds sounds(window);
    morvast::GameRecords records(window, [&window] { window.endProgramNow(); });
    window.setSoundPort(&sounds);
    window.setRecordsPort(&records);
    window.show();
    const int code = app.exec();
    window.setRecordsPort(nullptr);
    window.setSoundPort(nullptr);
    return code;
}
