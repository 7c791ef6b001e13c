#pragma once

class QWidget;

namespace morvast {

// A tool window with a narrow caption and a close box only, not sizable, with the given
// client area.
void makeFixedToolWindow(QWidget* w, int width, int height);

}  // namespace morvast
