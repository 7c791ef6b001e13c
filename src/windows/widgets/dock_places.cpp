#include "windows/widgets/dock_places.h"

#include <cmath>

#include "windows/widgets/twips.h"

namespace morvast {

DockPlaces dockPlaces(const QRect& main, QSize records, QSize future, QSize mp3) {
    const int gap = px(20);
    const int L = main.x(), T = main.y(), W = main.width(), H = main.height();
    DockPlaces d;
    d.records = QPoint(L + W + gap, T + H - records.height());
    d.statistic = QPoint(L + W + future.width() + px(40), T);
    d.future = QPoint(L + W + gap, T);
    // Centred in the space between the future and the records windows; half a pixel goes up.
    const int space = d.records.y() - T - future.height() - mp3.height();
    d.mp3 = QPoint(L + W + gap, T + future.height() + static_cast<int>(std::floor(space / 2.0)));
    return d;
}

}  // namespace morvast
