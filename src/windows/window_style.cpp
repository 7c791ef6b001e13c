#include "windows/window_style.h"

#include <QWidget>

namespace morvast {

void makeFixedToolWindow(QWidget* w, int width, int height) {
    w->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowCloseButtonHint);
    w->setFixedSize(width, height);
}

}  // namespace morvast
