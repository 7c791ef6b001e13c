// The window's outline: only the frames and the bars joining them are left of the client area,
// so the desktop shows through everywhere else and clicks there reach the window below.
#include <QLabel>

#include "windows/main/frm_main.h"
#include "windows/widgets/window_outline.h"

namespace morvast {

void frmMain::RebuildWindowRgn() {
    // Every control inside a frame carries a help text; what lies directly on the window
    // without one is a frame or a bar. Windows owned by this one are not controls.
    std::vector<OutlinePiece> pieces;
    for (QWidget* c : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (c->isWindow() || !c->property("Tag").toString().isEmpty()) continue;
        pieces.push_back({c->geometry(), qobject_cast<QLabel*>(c) != nullptr});
    }
    setMask(windowOutline(pieces));
}

}  // namespace morvast
