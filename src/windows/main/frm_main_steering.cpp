// Steering: the keys (seen by the window first, whichever control has the focus), the steering
// buttons' MouseDown and MouseUp handlers, the falling tick and the demo's presses.
#include <QApplication>
#include <QKeyEvent>

#include "scoring/demo.h"
#include "windows/widgets/control_events.h"
#include "windows/main/frm_main.h"
#include "windows/widgets/picture_box.h"
#include "windows/widgets/win_colour.h"

namespace morvast {

namespace {

// The original's key codes.
constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;

int qtKeyToCode(int key) {
    switch (key) {
        case Qt::Key_Left:
            return kKeyLeft;
        case Qt::Key_Up:
            return kKeyUp;
        case Qt::Key_Right:
            return kKeyRight;
        case Qt::Key_Down:
            return kKeyDown;
        case Qt::Key_Escape:
            return kKeyEscape;
        case Qt::Key_Space:
            return kKeySpace;
        default:
            return 0;
    }
}

}  // namespace

void frmMain::connectSteering() {
    // Key preview: every key of the program passes here first.
    qApp->installEventFilter(this);

    onMouseDown(cmdLeftRight[0], [this] { cmdLeftRight_MouseDown(0); });
    onMouseUp(cmdLeftRight[0], [this] { cmdLeftRight_MouseUp(0); });
    onMouseDown(cmdLeftRight[2], [this] { cmdLeftRight_MouseDown(2); });
    onMouseUp(cmdLeftRight[2], [this] { cmdLeftRight_MouseUp(2); });
    onMouseDown(cmdRotate, [this] { cmdRotate_MouseDown(0); });
    onMouseUp(cmdRotate, [this] { cmdRotate_MouseUp(0); });
    onMouseDown(cmdSpace, [this] { cmdSpace_MouseDown(); });
    onMouseUp(cmdSpace, [this] { cmdSpace_MouseUp(); });
    onMouseDown(cmdDown, [this] { cmdDown_MouseDown(); });
    onMouseUp(cmdDown, [this] { cmdDown_MouseUp(); });

    connect(&tmrDemo, &QTimer::timeout, this, &frmMain::tmrDemo_Timer);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this) return false;
    const int code = qtKeyToCode(static_cast<QKeyEvent*>(event)->key());
    if (code == 0) return false;
    if (type == QEvent::KeyPress)
        Form_KeyDown(code);
    else
        Form_KeyUp(code);
    return true;
}

void frmMain::Form_KeyDown(int keyCode) {
    const bool playing = game.blnPlaying;
    switch (keyCode) {
        case kKeyLeft:
            if (playing) cmdLeftRight_MouseDown(0);
            break;
        case kKeyRight:
            if (playing) cmdLeftRight_MouseDown(2);
            break;
        case kKeyUp:
            if (playing) cmdRotate_MouseDown(0);
            break;
        case kKeyDown:
            if (cmdDown->isEnabled() && playing) cmdDown_MouseDown();
            break;
        case kKeyEscape:
            game.blnEscPause = true;
            chkPause->setChecked(!chkPause->isChecked());
            break;
        case kKeySpace:
            if (playing) cmdSpace_MouseDown();
            break;
        default:
            break;
    }
}

void frmMain::Form_KeyUp(int keyCode) {
    switch (keyCode) {
        case kKeyLeft:
            cmdLeftRight_MouseUp(0);
            break;
        case kKeyRight:
            cmdLeftRight_MouseUp(2);
            break;
        case kKeyUp:
            cmdRotate_MouseUp(0);
            break;
        case kKeySpace:
            cmdSpace_MouseUp();
            break;
        default:
            break;
    }
}

void frmMain::focusField() {
    if (picMorvast->isVisible()) picMorvast->setFocus(Qt::OtherFocusReason);
}

void frmMain::cmdLeftRight_MouseDown(int index) {
    setBackColor(cmdLeftRight[index], colour::kGreen);
    game.moveLeftRight(index);
}

void frmMain::cmdLeftRight_MouseUp(int index) {
    (void)index;
    setBackColor(cmdLeftRight[0], lngButtonColor);
    setBackColor(cmdLeftRight[2], lngButtonColor);
    focusField();
}

void frmMain::cmdRotate_MouseDown(int index) {
    (void)index;
    setBackColor(cmdRotate, colour::kYellow);
    game.rotatePress();
}

void frmMain::cmdRotate_MouseUp(int index) {
    (void)index;
    setBackColor(cmdRotate, lngButtonColor);
    focusField();
}

void frmMain::cmdSpace_MouseDown() {
    setBackColor(cmdSpace, colour::kYellow);
    game.invertPress();
}

void frmMain::cmdSpace_MouseUp() {
    setBackColor(cmdSpace, lngButtonColor);
    focusField();
}

void frmMain::cmdDown_MouseDown() {
    setBackColor(cmdDown, colour::kBlack);
    game.dropPress();
}

void frmMain::cmdDown_MouseUp() {
    focusField();
}

void frmMain::tmrDown_Timer() {
    game.tmrDown_Timer();
}

void frmMain::tmrDemo_Timer() {
    for (QPushButton* b : {cmdLeftRight[0], cmdLeftRight[2], cmdRotate, cmdSpace})
        setBackColor(b, lngButtonColor);
    const double rInterval = rnd();
    const double rPress = rnd();
    const DemoPress press = chooseDemoPress(rInterval, rPress);
    tmrDemo.setInterval(press.intervalMs);
    switch (press.action) {
        case DemoAction::Left:
            cmdLeftRight_MouseDown(0);
            break;
        case DemoAction::Right:
            cmdLeftRight_MouseDown(2);
            break;
        case DemoAction::Rotate:
            cmdRotate_MouseDown(0);
            break;
        case DemoAction::Drop:
            cmdDown_MouseDown();
            break;
        case DemoAction::Invert:
            cmdSpace_MouseDown();
            break;
    }
}

}  // namespace morvast
