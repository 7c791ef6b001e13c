// The side windows follow the main window's state, and Auto docks them beside it.
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

void frmMain::takeSideWindowsAlong(bool minimised) {
    // A hidden window takes the state too and keeps it for when it is shown.
    for (QWidget* w :
         {static_cast<QWidget*>(frmMorvasFathers_), static_cast<QWidget*>(frmStatistic_),
          static_cast<QWidget*>(frmFuture_), static_cast<QWidget*>(frmMP3_)}) {
        const Qt::WindowStates s = w->windowState() & ~Qt::WindowMinimized;
        w->setWindowState(minimised ? (s | Qt::WindowMinimized) : s);
    }
}

void frmMain::dockSideWindows() {
    const DockPlaces at =
        dockPlaces(frameGeometry(), frmMorvasFathers_->frameGeometry().size(),
                   frmFuture_->frameGeometry().size(), frmMP3_->frameGeometry().size());
    const auto dock = [](QWidget* w, QPoint to, QPushButton* toggle) {
        w->setWindowState(w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        w->move(to);
        w->show();
        toggle->setChecked(true);
    };
    dock(frmMorvasFathers_, at.records, chkRec);
    dock(frmStatistic_, at.statistic, chkStat);
    dock(frmFuture_, at.future, chkFuture);
    dock(frmMP3_, at.mp3, chkMP3);
}

void frmMain::Minimize_Window(bool minimize) {
    (void)minimize;  // both values do the same
    picMorvast->setUserScale(kFieldUnitsWide, kFieldUnitsHigh);
    DrawFigure();
    DrawNext();
}

}  // namespace morvast
