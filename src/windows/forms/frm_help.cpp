#include "windows/forms/frm_help.h"

#include <algorithm>
#include <utility>

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "windows/widgets/app_look.h"
#include "windows/widgets/win_colour.h"
#include "windows/widgets/twips.h"
#include "windows/widgets/window_style.h"

namespace morvast {
namespace {

constexpr int kWidthTwips = 3480;
constexpr int kStepTwips = 100;
constexpr int kStopAboveTwips = 3030;
// The unrolling counts the outer height; caption and borders take this much of it, so the
// client area comes out at its designed 2700 twips when the outer height reaches 3030.
constexpr int kFrameTwips = kStopAboveTwips - 2700;
// Where the unrolling stops: the first step above kStopAboveTwips.
constexpr int kFullHeightTwips = (kStopAboveTwips / kStepTwips + 1) * kStepTwips;

QPushButton* makeButton(const QString& caption, int leftTwips, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(px(leftTwips), px(2400), px(1332), px(252));
    b->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    setBackColor(b, 0x808080);
    return b;
}

}  // namespace

frmHelp::frmHelp(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Справка"));
    makeFixedToolWindow(this, px(kWidthTwips), 0);
    setBackColor(this, 0xFF0000);

    txtText = new QPlainTextEdit(this);
    txtText->setGeometry(0, 0, px(3372), px(2292));
    txtText->setReadOnly(true);
    txtText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtText->setFont(designFont(QStringLiteral("Tahoma"), 9, true));
    QPalette p = txtText->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, QColor(colour::toQRgb(0x000000)));
        p.setColor(group, QPalette::Text, QColor(colour::toQRgb(0xFFFFFF)));
    }
    txtText->setPalette(p);

    cmdNext = makeButton(QStringLiteral("Далее"), 2040, this);
    cmdClose = makeButton(QStringLiteral("Закрыть"), 120, this);
    cmdNext->setObjectName(QStringLiteral("cmdNext"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdNext, &QPushButton::clicked, this, &frmHelp::cmdNext_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmHelp::cmdClose_Click);

    tmrResize = new QTimer(this);
    tmrResize->setInterval(15);
    tmrResize->setTimerType(Qt::PreciseTimer);
    connect(tmrResize, &QTimer::timeout, this, &frmHelp::tmrResize_Timer);
}

HelpAnswer frmHelp::showModal(QWidget* owner) {
    answer_ = HelpAnswer::Next;
    Form_Load();

    // Centred as it will stand once unrolled; it unrolls downwards from there.
    const int fullHeight = px(kFullHeightTwips - kFrameTwips);
    QRect over;
    if (owner)
        over = owner->window()->geometry();
    else if (const QScreen* s = screen())
        over = s->availableGeometry();
    move(over.center().x() - width() / 2, over.center().y() - fullHeight / 2);

    if (answerer_) {
        switch (answerer_(*this)) {
            case HelpAnswer::Next:
                cmdNext_Click();
                break;
            case HelpAnswer::Close:
                cmdClose_Click();
                break;
            case HelpAnswer::CloseBox:
                Form_QueryUnload();
                unload(HelpAnswer::CloseBox);
                break;
        }
        return answer_;
    }

    execOver(this, owner);
    tmrResize->stop();
    return answer_;
}

void frmHelp::Form_Load() {
    txtText->resize(width(), txtText->height());
    txtText->setPlainText(strText);
    setHeightTwips(0);
    tmrResize->start();
}

void frmHelp::tmrResize_Timer() {
    setHeightTwips(heightTwips_ + kStepTwips);
    txtText->resize(width(), txtText->height());
    if (heightTwips_ > kStopAboveTwips) tmrResize->stop();
}

void frmHelp::cmdNext_Click() {
    unload(HelpAnswer::Next);
}

void frmHelp::cmdClose_Click() {
    blnClose = true;
    unload(HelpAnswer::Close);
}

void frmHelp::Form_QueryUnload() {
    blnClose = true;
    answer_ = HelpAnswer::CloseBox;
}

void frmHelp::closeEvent(QCloseEvent* e) {
    // Next and Close unload without a close event, so this is the close box or the system.
    Form_QueryUnload();
    tmrResize->stop();
    QDialog::closeEvent(e);
}

void frmHelp::keyPressEvent(QKeyEvent* e) {
    // Only the buttons and the close box answer; Esc, perhaps still held from play, must not.
    if (e->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(e);
}

void frmHelp::setHeightTwips(int h) {
    heightTwips_ = h;
    setFixedHeight(px(std::max(0, h - kFrameTwips)));
}

void frmHelp::unload(HelpAnswer answer) {
    answer_ = answer;
    tmrResize->stop();
    done(Accepted);
}

}  // namespace morvast
