#include "windows/frm_main.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    morvast::frmMain window;
    window.show();
    return app.exec();
}
