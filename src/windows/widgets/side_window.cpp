#include "windows/widgets/side_window.h"

#include <QCloseEvent>
#include <QTimer>

namespace morvast {

SideWindow::SideWindow(const QString& caption, QSize clientSize, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(caption);
    setFixedSize(clientSize);
}

bool SideWindow::unloadByProgram() {
    unloading_ = true;
    const bool closed = close();
    unloading_ = false;
    return closed;
}

void SideWindow::watch(QWidget* w) {
    w->installEventFilter(this);
    for (QWidget* child : w->findChildren<QWidget*>())
        child->installEventFilter(this);
}

void SideWindow::handBackFocus() {
    // Deferred: moving the focus to another window from inside a focus or activation event
    // would be undone by the focus change still under way.
    if (handBackPending_) return;
    handBackPending_ = true;
    QTimer::singleShot(0, this, [this] {
        handBackPending_ = false;
        // A hidden or minimised main window cannot take the keyboard: leave it where it is
        // rather than pop the window up.
        if (!focusTarget_ || !focusTarget_->isVisible() || focusTarget_->window()->isMinimized())
            return;
        focusTarget_->window()->activateWindow();
        focusTarget_->setFocus(Qt::OtherFocusReason);
    });
}

bool SideWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::MouseButtonRelease)
        handBackFocus();
    return QWidget::event(e);
}

bool SideWindow::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusIn || e->type() == QEvent::MouseButtonRelease) handBackFocus();
    return QWidget::eventFilter(watched, e);
}

void SideWindow::closeEvent(QCloseEvent* e) {
    if (unloading_) {
        e->accept();
        return;
    }
    e->ignore();
    hide();
    if (onUserClose_) onUserClose_();
}

}  // namespace morvast
