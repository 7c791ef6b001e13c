#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QAbstractNativeEventFilter>
#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QSize>

class QWidget;

namespace morvast {

// The frames a window manager puts round windows, learnt from the windows it framed, one size
// per kind of window (a tool window's caption is often lower than a main window's).
class FrameSizes {
  public:
    QMargins of(const QWidget* w) const;
    void learn(const QWidget* w, QMargins frame);

  private:
    QMargins normal_, tool_;
};

// Keeps a window's outer place: the top-left of its frame, caption and border included. On X11
// the manager frames a window only after it is mapped, and Qt places the client area; so the
// window goes where its frame is expected to land, and once the manager reports the frame it
// is moved again if the frame turned out otherwise. Without a manager there is no frame and the
// client area is the outer place.
class OuterPlace : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
  public:
    // Lives as long as the window; sizes is shared by all the windows of the program.
    OuterPlace(QWidget* window, std::shared_ptr<FrameSizes> sizes);
    static OuterPlace* of(const QWidget* window);

    // Puts the frame's top-left at outer (logical pixels), now or once the frame is known.
    void moveTo(QPoint outer);
    // Where the frame stands (as expected until the manager has framed the window), the place
    // of the normal state while the window is minimised.
    QPoint outer() const;
    // The frame's size; a window not framed yet takes the frame of one of its kind.
    QSize outerSize() const;
    // Whether the manager has framed the window (never without a manager).
    bool framed() const { return !reported().isNull(); }
    // Called when the manager's frame proved a guess wrong and the window was placed again.
    void setOnFramed(std::function<void()> onFramed) { onFramed_ = std::move(onFramed); }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    // The manager's word on X11: it frames a window without moving it, which Qt tells no widget.
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

  private:
    QMargins reported() const;
    void putClientAt(QPoint outer, QMargins frame);
    void follow();

    QWidget* window_;
    std::shared_ptr<FrameSizes> sizes_;
    std::optional<QPoint> wanted_;  // until placed with the frame the manager reported
    QMargins placedWith_;
    mutable QMargins lastFrame_;
    QPoint normal_;  // the outer place last seen in the normal state
    std::function<void()> onFramed_;
    bool followPending_ = false;
};

}  // namespace morvast
