#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace morvast {

// Where Auto puts the side windows, as the top-left corners of their outer (frame) geometry.
struct DockPlaces {
    QPoint records;    // frmMorvasFathers
    QPoint statistic;  // frmStatistic
    QPoint future;     // frmFuture
    QPoint mp3;        // frmMP3
};

// From the main window's outer geometry and the side windows' outer sizes, all in logical
// pixels: a column beside the main window with the future window at its top, the records
// window at its bottom and the player centred between them, and the statistic window in a
// second column beside the future window. Nothing is kept on the screen: a main window at the
// screen's edge sends them off it.
DockPlaces dockPlaces(const QRect& main, QSize records, QSize future, QSize mp3);

}  // namespace morvast
