#pragma once

#include <QByteArray>
#include <QFont>
#include <QIcon>

class QPainter;

namespace morvast {

// Registers the window fonts that ship outside the system font folders (Tahoma, MS Sans Serif
// from the Wine font package), when they are there. Times New Roman and Courier New reach their
// metric-compatible stand-ins through fontconfig.
void registerFonts();

// A font of the window's design: sizes are in points at 96 dots per inch, which is what the
// twip layout assumes, so they are set in logical pixels.
QFont designFont(const QString& family, double points, bool bold = false);

// The program's own icon: a few coloured cells.
QIcon makeWindowIcon();
// Its picture painted into the square (0, 0, side, side), and the same picture as an SVG
// document; the installed icons are made from these.
void paintIconPicture(QPainter& p, int side);
QByteArray iconPictureSvg();

}  // namespace morvast
