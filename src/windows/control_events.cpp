#include "windows/control_events.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace morvast {

namespace {

// Lives as a child of its control and goes with it.
class ControlEvents : public QObject {
  public:
    static ControlEvents& of(QWidget* control) {
        for (QObject* child : control->children())
            if (auto* e = dynamic_cast<ControlEvents*>(child)) return *e;
        auto* e = new ControlEvents(control);
        control->installEventFilter(e);
        return *e;
    }

    std::function<void()> down, up, move;

  private:
    explicit ControlEvents(QWidget* control) : QObject(control), control_(control) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != control_) return false;
        switch (event->type()) {
            // Qt turns the second press of a quick pair into a double click; it is a press all
            // the same.
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                if (down) down();
                break;
            case QEvent::MouseButtonRelease:
                if (up) up();
                break;
            case QEvent::MouseMove:
                if (move &&
                    !control_->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
                    move();
                break;
            default:
                break;
        }
        return false;
    }

    QWidget* control_;
};

}  // namespace

void onMouseDown(QWidget* control, std::function<void()> handler) {
    ControlEvents::of(control).down = std::move(handler);
}

void onMouseUp(QWidget* control, std::function<void()> handler) {
    ControlEvents::of(control).up = std::move(handler);
}

void onMouseMove(QWidget* control, std::function<void()> handler) {
    ControlEvents::of(control).move = std::move(handler);
}

}  // namespace morvast
