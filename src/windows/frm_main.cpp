#include "windows/frm_main.h"

namespace morvast {

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Morvast XII VelkNET"));
    // 6810 x 8805 twips of client area at 15 twips to the pixel.
    resize(454, 587);
    setStyleSheet(QStringLiteral("background-color: black;"));
}

}  // namespace morvast
