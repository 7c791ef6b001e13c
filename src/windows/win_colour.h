#pragma once

#include <cstdint>

#include <QWidget>

#include "scoring/colour.h"

namespace morvast {

// BackColor and ForeColor of a control. Labels and frames paint their own background so that a
// repaint of one never reaches the window beneath it.
void setBackColor(QWidget* w, uint32_t win);
void setForeColor(QWidget* w, uint32_t win);
uint32_t backColor(const QWidget* w);
uint32_t foreColor(const QWidget* w);

}  // namespace morvast
