// The side windows follow the main window's state, and Auto docks them beside it.
#include <algorithm>

#include "windows/dock_places.h"
#include "windows/frm_future.h"
#include "windows/frm_main.h"
#include "windows/frm_morvas_fathers.h"
#include "windows/frm_mp3.h"
#include "windows/frm_statistic.h"
#include "windows/picture_box.h"

namespace morvast {

namespace {

// The play field's user scale, in the units of its cells.
constexpr double kFieldUnitsWide = 3760;
constexpr double kFieldUnitsHigh = 7760;

}  // namespace

std::array<QWidget*, 4> frmMain::sideWindows() const {
    return {frmMorvasFathers_, frmStatistic_, frmFuture_, frmMP3_};
}

void frmMain::takeSideWindowsAlong(bool minimised) {
    // A hidden window takes the state too and keeps it for when it is shown.
    for (QWidget* w : sideWindows()) {
        const Qt::WindowStates s = w->windowState() & ~Qt::WindowMinimized;
        w->setWindowState(minimised ? (s | Qt::WindowMinimized) : s);
    }
}

void frmMain::followOuterPlaces() {
    new OuterPlace(this, frameSizes_);
    for (QWidget* w : sideWindows()) {
        auto* place = new OuterPlace(w, frameSizes_);
        place->setOnFramed([this] {
            if (dockFresh_) placeDocked();
        });
    }
}

void frmMain::placeDocked() {
    const OuterPlace& main = *OuterPlace::of(this);
    const auto size = [](QWidget* w) { return OuterPlace::of(w)->outerSize(); };
    const DockPlaces at = dockPlaces(QRect(main.outer(), main.outerSize()), size(frmMorvasFathers_),
                                     size(frmFuture_), size(frmMP3_));
    OuterPlace::of(frmMorvasFathers_)->moveTo(at.records);
    OuterPlace::of(frmStatistic_)->moveTo(at.statistic);
    OuterPlace::of(frmFuture_)->moveTo(at.future);
    OuterPlace::of(frmMP3_)->moveTo(at.mp3);
    const auto sides = sideWindows();
    dockFresh_ = !std::all_of(sides.begin(), sides.end(),
                              [](QWidget* w) { return OuterPlace::of(w)->framed(); });
}

void frmMain::dockSideWindows() {
    // Placed before they are shown, so that a window shown for the first time maps where its
    // frame belongs when the frame of its kind is known.
    for (QWidget* w : sideWindows())
        w->setWindowState(w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    placeDocked();
    const auto show = [](QWidget* w, QPushButton* toggle) {
        w->show();
        toggle->setChecked(true);
    };
    show(frmMorvasFathers_, chkRec);
    show(frmStatistic_, chkStat);
    show(frmFuture_, chkFuture);
    show(frmMP3_, chkMP3);
}

void frmMain::Minimize_Window(bool minimize) {
    (void)minimize;  // both values do the same
    picMorvast->setUserScale(kFieldUnitsWide, kFieldUnitsHigh);
    DrawFigure();
    DrawNext();
}

}  // namespace morvast
