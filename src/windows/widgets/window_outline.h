#pragma once

#include <vector>

#include <QRect>
#include <QRegion>

namespace morvast {

// A control lying directly on the main window, as its outline sees it: the geometry in the
// window's client pixels and whether it is one of the thin label bars.
struct OutlinePiece {
    QRect rect;
    bool isLabel = false;
};

// The part of the client area that stays: every frame with a margin of 2 pixels at the sides
// and 8 below, every bar 2 pixels further left and 4 shorter. These are the original's margins,
// which it counted from the window's corner, 4 pixels left of and 27 above the client area.
QRegion windowOutline(const std::vector<OutlinePiece>& pieces);

}  // namespace morvast
