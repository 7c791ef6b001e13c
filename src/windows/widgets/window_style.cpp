#include "windows/widgets/window_style.h"

#include <QDialog>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace morvast {

void makeFixedToolWindow(QWidget* w, int width, int height) {
    w->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowCloseButtonHint);
    w->setFixedSize(width, height);
}

void centreOnScreen(QWidget* w, const QWidget* owner) {
    if (const QScreen* screen = owner ? owner->screen() : w->screen())
        w->move(screen->availableGeometry().center() - w->rect().center());
}

int execOver(QDialog* dialog, QWidget* owner) {
    QWindow* ownerWindow = nullptr;
    if (owner) {
        owner->window()->winId();
        ownerWindow = owner->window()->windowHandle();
    }
    dialog->winId();
    dialog->windowHandle()->setTransientParent(ownerWindow);
    const int result = dialog->exec();
    dialog->windowHandle()->setTransientParent(nullptr);
    return result;
}

}  // namespace morvast
