#include "windows/widgets/picture_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include <cmath>

#include "windows/widgets/twips.h"

namespace morvast {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    // The widget paints every exposed pixel from the canvas itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

double PictureBox::userWidth() const {
    return userWidth_ > 0 ? userWidth_ : width() * kTwipsPerPixel;
}

double PictureBox::userHeight() const {
    return userHeight_ > 0 ? userHeight_ : height() * kTwipsPerPixel;
}

void PictureBox::setUserScale(double userWidth, double userHeight) {
    userWidth_ = userWidth;
    userHeight_ = userHeight;
    if (rebuildIfNeeded()) emit canvasRecreated();
}

void PictureBox::setBackground(uint32_t winColour) {
    canvas_.setBackground(winColour);
}
void PictureBox::setBackColor(uint32_t winColour) {
    canvas_.setBackground(winColour);
    canvas_.cls();
    flush();
}

void PictureBox::setFillColour(uint32_t winColour) {
    canvas_.setFillColour(winColour);
}
void PictureBox::setFillTransparent(bool transparent) {
    canvas_.setFillTransparent(transparent);
}

bool PictureBox::rebuildIfNeeded() {
    const double dpr = devicePixelRatioF();
    if (size() == builtSize_ && dpr == builtDpr_ && userWidth() == builtUserWidth_ &&
        userHeight() == builtUserHeight_)
        return false;
    builtSize_ = size();
    builtDpr_ = dpr;
    builtUserWidth_ = userWidth();
    builtUserHeight_ = userHeight();
    canvas_.setGeometry(width(), height(), builtUserWidth_, builtUserHeight_, dpr);
    canvas_.takeDirty();
    update();
    return true;
}

void PictureBox::flush() {
    const QRect d = canvas_.takeDirty();
    if (d.isEmpty()) return;
    const double dpr = canvas_.devicePixelRatio();
    const int left = static_cast<int>(std::floor(d.left() / dpr));
    const int top = static_cast<int>(std::floor(d.top() / dpr));
    const int right = static_cast<int>(std::ceil((d.right() + 1) / dpr));
    const int bottom = static_cast<int>(std::ceil((d.bottom() + 1) / dpr));
    update(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

bool PictureBox::event(QEvent* e) {
    if (e->type() == QEvent::ScreenChangeInternal) {
        if (rebuildIfNeeded()) emit canvasRecreated();
    }
    return QWidget::event(e);
}

void PictureBox::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    const QImage& image = canvas_.image();
    if (image.isNull() || devicePixelRatioF() != builtDpr_) {
        p.fillRect(e->rect(), QColor(colour::toQRgb(colour::kBlack)));
        // Draw again at the new ratio once this paint is over.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (rebuildIfNeeded()) emit canvasRecreated();
            },
            Qt::QueuedConnection);
        return;
    }
    const double dpr = canvas_.devicePixelRatio();
    for (const QRect& r : e->region()) {
        const QRectF source(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr);
        p.drawImage(QRectF(r), image, source);
    }
}

void PictureBox::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (rebuildIfNeeded()) emit canvasRecreated();
}

void PictureBox::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (QWindow* w = window()->windowHandle(); w && !screenConnection_) {
        screenConnection_ = connect(w, &QWindow::screenChanged, this, [this] {
            if (rebuildIfNeeded()) emit canvasRecreated();
        });
    }
    if (rebuildIfNeeded()) emit canvasRecreated();
}

}  // namespace morvast
