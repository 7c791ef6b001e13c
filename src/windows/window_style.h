#pragma once

class QWidget;

namespace morvast {

// Window sizes are given in twips; 15 twips make one logical pixel.
constexpr int twips(int t) {
    return t / 15;
}

// A tool window with a narrow caption and a close box only, not sizable, with the given
// client area.
void makeFixedToolWindow(QWidget* w, int width, int height);

}  // namespace morvast
