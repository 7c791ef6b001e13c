// The side windows follow the main window's state, and Auto docks them beside it.
#include <algorithm>

#include "windows/widgets/dock_places.h"
#include "windows/forms/frm_future.h"
#include "windows/main/frm_main.h"
#include "windows/forms/frm_morvas_fathers.h"
#include "windows/forms/frm_mp3.h"
#include "windows/widgets/side_window.h"
#include "windows/forms/frm_statistic.h"
#include "windows/widgets/picture_box.h"

namespace morvast {

namespace {

// The play field's user scale, in the units of its cells.
constexpr double kFieldUnitsWide = 3760;
constexpr double kFieldUnitsHigh = 7760;

}  // namespace

std::array<frmMain::SideWindowRow, 4> frmMain::sideWindowRows() const {
    return {{{frmMorvasFathers_, chkRec, &Settings::frmMorvasFathers, &DockPlaces::records},
             {frmStatistic_, chkStat, &Settings::frmStatistic, &DockPlaces::statistic},
             {frmFuture_, chkFuture, &Settings::frmFuture, &DockPlaces::future},
             {frmMP3_, chkMP3, &Settings::frmMP3, &DockPlaces::mp3}}};
}

void frmMain::takeSideWindowsAlong(bool minimised) {
    // A hidden window takes the state too and keeps it for when it is shown.
    for (const SideWindowRow& r : sideWindowRows()) {
        const Qt::WindowStates s = r.window->windowState() & ~Qt::WindowMinimized;
        r.window->setWindowState(minimised ? (s | Qt::WindowMinimized) : s);
    }
}

void frmMain::followOuterPlaces() {
    new OuterPlace(this, frameSizes_);
    for (const SideWindowRow& r : sideWindowRows()) {
        auto* place = new OuterPlace(r.window, frameSizes_);
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
    dockFresh_ = false;
    for (const SideWindowRow& r : sideWindowRows()) {
        OuterPlace::of(r.window)->moveTo(at.*r.dock);
        dockFresh_ = dockFresh_ || !OuterPlace::of(r.window)->framed();
    }
}

void frmMain::dockSideWindows() {
    // Placed before they are shown, so that a window shown for the first time maps where its
    // frame belongs when the frame of its kind is known.
    for (const SideWindowRow& r : sideWindowRows())
        r.window->setWindowState(r.window->windowState() &
                                 ~(Qt::WindowMinimized | Qt::WindowMaximized));
    placeDocked();
    for (const SideWindowRow& r : sideWindowRows()) {
        r.window->show();
        r.toggle->setChecked(true);
    }
}

void frmMain::Minimize_Window(bool minimize) {
    (void)minimize;  // both values do the same
    picMorvast->setUserScale(kFieldUnitsWide, kFieldUnitsHigh);
    DrawFigure();
    DrawNext();
}

}  // namespace morvast
