#pragma once

#include <functional>
#include <utility>

#include <QPointer>
#include <QWidget>

namespace morvast {

// A fixed tool window beside the main window. It never keeps the keyboard: whenever it is
// activated or a mouse button is released over it, the focus goes back to the focus target,
// so the keys keep steering the game. Closing it by its close box (or by the system) only
// hides it and tells the owner; only unloadByProgram() really closes it.
class SideWindow : public QWidget {
    Q_OBJECT
  public:
    // clientSize in logical pixels.
    SideWindow(const QString& caption, QSize clientSize, QWidget* parent = nullptr);

    void setFocusTarget(QWidget* target) { focusTarget_ = target; }
    QWidget* focusTarget() const { return focusTarget_; }
    // Called after a close by the user has hidden the window (the owner unchecks its toggle).
    void setOnUserClose(std::function<void()> onUserClose) {
        onUserClose_ = std::move(onUserClose);
    }
    // Really closes the window; true when it closed.
    bool unloadByProgram();

  protected:
    // Hands the focus back when this widget (and every widget inside it) gets the focus or
    // sees a mouse button released.
    void watch(QWidget* w);
    void handBackFocus();

    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    QPointer<QWidget> focusTarget_;
    std::function<void()> onUserClose_;
    bool unloading_ = false;
    bool handBackPending_ = false;
};

}  // namespace morvast
