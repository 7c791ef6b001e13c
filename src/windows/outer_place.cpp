#include "windows/outer_place.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>

namespace morvast {

QMargins FrameSizes::of(const QWidget* w) const {
    return w->windowType() == Qt::Tool ? tool_ : normal_;
}

void FrameSizes::learn(const QWidget* w, QMargins frame) {
    (w->windowType() == Qt::Tool ? tool_ : normal_) = frame;
}

OuterPlace::OuterPlace(QWidget* window, FrameSizes& sizes)
    : QObject(window), window_(window), sizes_(sizes), normal_(window->pos()) {
    window->installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

OuterPlace* OuterPlace::of(const QWidget* window) {
    return window->findChild<OuterPlace*>(QString(), Qt::FindDirectChildrenOnly);
}

QMargins OuterPlace::reported() const {
    // Asked of the platform window: the widget keeps the frame of its last move, and a window
    // framed where it was asked to stand does not move. A hidden window has no frame; it gets
    // back the one it had.
    const QWindow* handle = window_->windowHandle();
    if (handle && window_->isVisible()) lastFrame_ = handle->frameMargins();
    return lastFrame_;
}

void OuterPlace::putClientAt(QPoint outer, QMargins frame) {
    placedWith_ = frame;
    // The client geometry, which the manager keeps where it is asked to be: moving by the frame
    // would take a frame Qt does not know yet.
    window_->setGeometry(QRect(outer + QPoint(frame.left(), frame.top()), window_->size()));
}

void OuterPlace::moveTo(QPoint outer) {
    wanted_ = outer;
    normal_ = outer;
    const QMargins own = reported();
    putClientAt(outer, own.isNull() ? sizes_.of(window_) : own);
    follow();
}

QPoint OuterPlace::outer() const {
    if (wanted_) return *wanted_;
    if (window_->isMinimized()) return normal_;
    const QMargins frame = reported();
    return window_->geometry().topLeft() - QPoint(frame.left(), frame.top());
}

QSize OuterPlace::outerSize() const {
    const QMargins frame = framed() ? reported() : sizes_.of(window_);
    return window_->size().grownBy(frame);
}

void OuterPlace::follow() {
    if (!window_->isVisible() || window_->isMinimized()) return;
    const QMargins frame = reported();
    // Every frame reported tells how the next window of this kind will be framed.
    if (!frame.isNull()) sizes_.learn(window_, frame);
    if (!wanted_) {
        normal_ = outer();
        return;
    }
    if (frame.isNull()) {
        // Not framed yet, or no manager: a move to elsewhere than asked is someone else's.
        if (window_->geometry().topLeft() !=
            *wanted_ + QPoint(placedWith_.left(), placedWith_.top()))
            wanted_.reset();
        return;
    }
    const bool guessedWrong = frame != placedWith_;
    if (guessedWrong) putClientAt(*wanted_, frame);
    normal_ = *wanted_;
    wanted_.reset();
    if (guessedWrong && onFramed_) onFramed_();
}

bool OuterPlace::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::WindowStateChange:
            follow();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, e);
}

bool OuterPlace::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (!wanted_ || followPending_ || type != "xcb_generic_event_t") return false;
    const auto* e = static_cast<const xcb_generic_event_t*>(message);
    xcb_window_t about = 0;
    switch (e->response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY:  // _NET_FRAME_EXTENTS among others
            about = reinterpret_cast<const xcb_property_notify_event_t*>(e)->window;
            break;
        case XCB_REPARENT_NOTIFY:
            about = reinterpret_cast<const xcb_reparent_notify_event_t*>(e)->window;
            break;
        case XCB_CONFIGURE_NOTIFY:
            about = reinterpret_cast<const xcb_configure_notify_event_t*>(e)->window;
            break;
        case XCB_MAP_NOTIFY:
            about = reinterpret_cast<const xcb_map_notify_event_t*>(e)->window;
            break;
        default:
            return false;
    }
    if (about == 0 || about != window_->internalWinId()) return false;
    // Qt takes the event in after this filter; the frame is asked for once it has.
    followPending_ = true;
    QTimer::singleShot(0, this, [this] {
        followPending_ = false;
        follow();
    });
    return false;
}

}  // namespace morvast
