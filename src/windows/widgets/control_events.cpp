#include "windows/widgets/control_events.h"

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

    std::function<void()> down, up, move, click;

  private:
    explicit ControlEvents(QWidget* control) : QObject(control), control_(control) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != control_) return false;
        switch (event->type()) {
            // Qt turns the second press of a quick pair into a double click; it is a press all
            // the same, but it starts no Click.
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                clickPressed_ = event->type() == QEvent::MouseButtonPress &&
                                static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
                if (down) down();
                break;
            case QEvent::MouseButtonRelease: {
                const auto* m = static_cast<QMouseEvent*>(event);
                const bool clicked = clickPressed_ && m->button() == Qt::LeftButton &&
                                     control_->rect().contains(m->position().toPoint());
                clickPressed_ = false;
                if (up) up();
                if (clicked && click) click();
                break;
            }
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
    // A left press that a release over the control makes a Click.
    bool clickPressed_ = false;
};

}  // namespace

void onMouseDown(QWidget* control, std::function<void()> handler) {
    ControlEvents::of(control).down = std::move(handler);
}

void onMouseUp(QWidget* control, std::function<void()> handler) {
    ControlEvents::of(control).up = std::move(handler);
}

void onClick(QWidget* control, std::function<void()> handler) {
    ControlEvents::of(control).click = std::move(handler);
}

void onMouseMove(QWidget* control, std::function<void()> handler) {
    ControlEvents::of(control).move = std::move(handler);
}

}  // namespace morvast
