#pragma once

#include <cstdint>

#include <QPushButton>
#include <QWidget>

#include "scoring/colour.h"

namespace morvast {

// BackColor and ForeColor of a control. Labels and frames paint their own background so that a
// repaint of one never reaches the window beneath it.
void setBackColor(QWidget* w, uint32_t win);
void setForeColor(QWidget* w, uint32_t win);
uint32_t backColor(const QWidget* w);
uint32_t foreColor(const QWidget* w);

// A push button whose colours change often: the steering buttons at every press, the menu at
// every hover and blink. The style keeps a picture of a drawn button under its palette's key,
// and every recolouring hands the button a palette with a new key, so each press would cache
// one more picture. This button paints with one shared palette per set of colours instead, and
// the style finds the picture it drew before.
class ColourButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace morvast
