#include "windows/widgets/outer_place.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>

namespace morvast {

namespace {

// The frame the window manager says it puts round a window (_NET_FRAME_EXTENTS), in logical
// pixels; nothing off X11 or while the manager has said nothing. Qt's own idea of the frame
// comes from the window tree and is garbage while the manager is still building the frame.
std::optional<QMargins> managerFrame(const QWidget* w) {
    // The offscreen platform answers for X11 too, without a connection.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const auto id = static_cast<xcb_window_t>(w->internalWinId());
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || !id || QGuiApplication::platformName() != QLatin1String("xcb")) return std::nullopt;
    static xcb_atom_t extents = XCB_ATOM_NONE;  // the name exists once a manager has used it
    if (extents == XCB_ATOM_NONE) {
        constexpr const char* kName = "_NET_FRAME_EXTENTS";
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, std::strlen(kName), kName), nullptr),
            &std::free);
        if (!atom || atom->atom == XCB_ATOM_NONE) return std::nullopt;
        extents = atom->atom;
    }
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, id, extents, XCB_ATOM_CARDINAL, 0, 4),
                               nullptr),
        &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return std::nullopt;
    const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    const double ratio = w->devicePixelRatioF();
    const auto logical = [ratio](uint32_t n) { return static_cast<int>(std::lround(n / ratio)); };
    return QMargins(logical(v[0]), logical(v[2]), logical(v[1]), logical(v[3]));  // l r t b
}

}  // namespace

QMargins FrameSizes::of(const QWidget* w) const {
    return w->windowType() == Qt::Tool ? tool_ : normal_;
}

void FrameSizes::learn(const QWidget* w, QMargins frame) {
    (w->windowType() == Qt::Tool ? tool_ : normal_) = frame;
}

OuterPlace::OuterPlace(QWidget* window, std::shared_ptr<FrameSizes> sizes)
    : QObject(window), window_(window), sizes_(std::move(sizes)), normal_(window->pos()) {
    window->installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

OuterPlace* OuterPlace::of(const QWidget* window) {
    return window->findChild<OuterPlace*>(QString(), Qt::FindDirectChildrenOnly);
}

QMargins OuterPlace::reported() const {
    // Asked afresh: the widget keeps the frame of its last move, and a window framed where it
    // was asked to stand does not move. A hidden window has no frame; it gets back the one it
    // had.
    const QWindow* handle = window_->windowHandle();
    if (!handle || !window_->isVisible()) return lastFrame_;
    if (const std::optional<QMargins> said = managerFrame(window_)) {
        lastFrame_ = *said;
    } else {
        // Other platforms, and managers that do not say.
        const QMargins m = handle->frameMargins();
        if (m.left() >= 0 && m.top() >= 0 && m.right() >= 0 && m.bottom() >= 0) lastFrame_ = m;
    }
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
    putClientAt(outer, own.isNull() ? sizes_->of(window_) : own);
    follow();
}

QPoint OuterPlace::outer() const {
    if (window_->isMinimized()) return normal_;
    // Until the frame is reported, the one placed with is taken: none without a manager.
    const QMargins frame = wanted_ ? placedWith_ : reported();
    return window_->geometry().topLeft() - QPoint(frame.left(), frame.top());
}

QSize OuterPlace::outerSize() const {
    const QMargins frame = framed() ? reported() : sizes_->of(window_);
    return window_->size().grownBy(frame);
}

void OuterPlace::follow() {
    if (!window_->isVisible() || window_->isMinimized()) return;
    const QMargins frame = reported();
    // Every frame reported tells how the next window of this kind will be framed.
    if (!frame.isNull()) sizes_->learn(window_, frame);
    // Not framed yet, or no manager: the client may pass through other places meanwhile (the
    // manager builds its frame round it), so only a frame ends the wait.
    bool guessedWrong = false;
    if (wanted_ && !frame.isNull()) {
        guessedWrong = frame != placedWith_;
        if (guessedWrong) putClientAt(*wanted_, frame);
        wanted_.reset();
    }
    normal_ = outer();
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
