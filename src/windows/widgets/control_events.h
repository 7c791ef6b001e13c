#pragma once

#include <functional>

class QWidget;

namespace morvast {

// The MouseDown, MouseUp and MouseMove handlers of one control, for any mouse button, as the
// original's controls have them; every press counts, however quickly it follows the last. Each call
// hooks the control itself, so a reader finds the handler where it is attached.
void onMouseDown(QWidget* control, std::function<void()> handler);
void onMouseUp(QWidget* control, std::function<void()> handler);
// The control's Click: the left button pressed and let go over it, once per click. The second
// press of a double click makes no second Click.
void onClick(QWidget* control, std::function<void()> handler);
// Only while the pointer is over the control itself: a move that a child ignored reaches its
// parents too, and there the parent must stay quiet.
void onMouseMove(QWidget* control, std::function<void()> handler);

}  // namespace morvast
