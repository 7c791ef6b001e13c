#pragma once

#include <cstdint>

#include <QColor>
#include <QWidget>

namespace morvast {

// Windows colour values (&H00BBGGRR) are what the game's rules speak; Qt speaks QColor.
inline QColor toQColor(uint32_t win) {
    return QColor(static_cast<int>(win & 0xFF), static_cast<int>((win >> 8) & 0xFF),
                  static_cast<int>((win >> 16) & 0xFF));
}

inline uint32_t fromQColor(const QColor& c) {
    return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
           (static_cast<uint32_t>(c.blue()) << 16);
}

// BackColor and ForeColor of a control. Labels and frames paint their own background so that a
// repaint of one never reaches the window beneath it.
void setBackColor(QWidget* w, uint32_t win);
void setForeColor(QWidget* w, uint32_t win);
uint32_t backColor(const QWidget* w);
uint32_t foreColor(const QWidget* w);

}  // namespace morvast
