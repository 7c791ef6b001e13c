#include "windows/widgets/window_outline.h"

namespace morvast {

QRegion windowOutline(const std::vector<OutlinePiece>& pieces) {
    QRegion outline;
    for (const OutlinePiece& p : pieces) {
        const QRect& r = p.rect;
        // Right and bottom edges are exclusive, as in the original's rectangles.
        const QPoint topLeft(r.left() - 2, r.top());
        const QPoint end = p.isLabel ? QPoint(r.left() + r.width() - 4, r.top() + r.height())
                                     : QPoint(r.left() + r.width() + 2, r.top() + r.height() + 8);
        outline += QRect(topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y()));
    }
    return outline;
}

}  // namespace morvast
