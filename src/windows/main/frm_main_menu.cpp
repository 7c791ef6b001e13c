// The menu: the hover colours of its top row, the running light that crosses that row when a
// place is gained, and the Click handler of every menu button.
#include "windows/widgets/control_events.h"
#include "windows/main/frm_main.h"
#include "windows/widgets/side_window.h"
#include "windows/widgets/win_colour.h"

namespace morvast {

namespace {

constexpr uint32_t kHoverBack = colour::kCyan;
constexpr uint32_t kNormalBack = colour::kRed;
constexpr uint32_t kNormalText = colour::kCyan;

}  // namespace

void frmMain::connectMenu() {
    // A two-state button's Click runs on every change of its value, by code or by the user.
    connect(chkPause, &QPushButton::toggled, this, &frmMain::chkPause_Click);
    connect(chkHelp, &QPushButton::toggled, this, &frmMain::chkHelp_Click);
    connect(chkDemo, &QPushButton::toggled, this, &frmMain::chkDemo_Click);
    connect(chkSet, &QPushButton::toggled, this, &frmMain::chkSet_Click);
    connect(chkExit, &QPushButton::toggled, this, &frmMain::chkExit_Click);
    connect(chkAuto, &QPushButton::toggled, this, &frmMain::chkAuto_Click);
    for (const SideWindowRow& r : sideWindowRows()) {
        SideWindow* window = r.window;
        QPushButton* toggle = r.toggle;
        connect(toggle, &QPushButton::toggled, this,
                [window, toggle] { window->setVisible(toggle->isChecked()); });
        // A mouse click on a toggle gives the keyboard back to the game.
        connect(toggle, &QPushButton::clicked, this, &frmMain::focusField);
    }

    for (QPushButton* b : {chkPause, chkHelp, chkDemo, chkSet, chkExit})
        onMouseMove(b, [this, b] { hoverTopButton(b); });
    onMouseMove(frmMenu, [this] { ResetMenuColors(); });
    onMouseMove(fraBottomRight, [this] {
        setBackColor(chkPause, kNormalBack);
        setForeColor(chkPause, kNormalText);
    });

    connect(&tmrMigMenuControls, &QTimer::timeout, this, &frmMain::tmrMigMenuControls_Timer);
}

// ---------------------------------------------------------------- hover

void frmMain::hoverTopButton(QPushButton* b) {
    if (backColor(b) == kHoverBack) return;
    ResetMenuColors();
    setBackColor(b, kHoverBack);
    setForeColor(b, kNormalBack);
}

void frmMain::ResetMenuColors() {
    for (QPushButton* b : {chkPause, chkDemo, chkSet, chkHelp, chkExit}) {
        if (backColor(b) == kNormalBack) continue;
        setBackColor(b, kNormalBack);
        setForeColor(b, kNormalText);
    }
}

// ---------------------------------------------------------------- running light

void frmMain::startRunningLight() {
    if (!tmrMigMenuControls.isActive()) tmrMigMenuControls.start();
}

void frmMain::tmrMigMenuControls_Timer() {
    QPushButton* const row[5] = {chkPause, chkHelp, chkDemo, chkSet, chkExit};
    const int s = intMenuBlinkStep;
    if (s > 0) setBackColor(row[s - 1], lngMenuBackColor);
    if (s == 5) {
        intMenuBlinkStep = 0;
        tmrMigMenuControls.stop();
        return;
    }
    setBackColor(row[s], colour::kGreen);
    intMenuBlinkStep = s + 1;
}

// ---------------------------------------------------------------- Click handlers

void frmMain::chkPause_Click() {
    if (chkPause->isChecked()) {
        fraControl->hide();
        tmrDown.setEnabled(false);
        game.blnPlaying = false;
        if (game.blnEscPause) showMinimized();
    } else {
        fraControl->show();
        tmrDown.setEnabled(true);
        game.blnPlaying = true;
        if (isMinimized()) showNormal();
        activateWindow();
    }
    game.blnEscPause = false;
    DrawFigure();
    DrawNext();
    focusField();
}

void frmMain::chkHelp_Click() {
    // The tour unchecks the button at its end, which runs this handler once more.
    if (chkHelp->isChecked())
        runHelpTour();
    else
        focusField();
}

void frmMain::chkDemo_Click() {
    if (chkDemo->isChecked())
        tmrDemo.start();
    else
        tmrDemo.stop();
    focusField();
}

void frmMain::chkSet_Click() {
    // Unchecking runs this handler once more, inside this one: that second pass redraws as well.
    if (chkSet->isChecked()) showSettingsWindow();
    chkSet->setChecked(false);
    DrawField();
    DrawGrid();
    DrawFigure();
    ResetMenuColors();
    focusField();
}

void frmMain::chkExit_Click() {
    if (chkExit->isChecked()) close();
}

void frmMain::chkAuto_Click() {
    // The button springs back like a push button; unchecking runs this handler once more.
    if (chkAuto->isChecked()) {
        dockSideWindows();
        chkAuto->setChecked(false);
    }
    focusField();
}

}  // namespace morvast
