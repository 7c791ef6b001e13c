#include "engine/field_renderer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "scoring/events.h"
#include "scoring/rounding.h"

namespace morvast {

namespace {

constexpr double kCell = 250;
constexpr double kInsetLow = 28;
constexpr double kInsetHigh = 222;
constexpr double kPhantomLow = 47.6;
constexpr double kPhantomHigh = 202.4;
// The next figure's box stands this far right of and below the picture's corner.
constexpr double kNextShift = 30;
// Each figure of the future window stands this far below the one before it.
constexpr double kFutureStep = 1200;

constexpr uint32_t kLanded = colour::kYellow;
constexpr uint32_t kFalling = colour::kCyan;
constexpr uint32_t kErased = colour::kBlack;
constexpr uint32_t kGridFirstPlace = colour::rgb(200, 200, 210);
constexpr uint32_t kGridOtherPlace = colour::rgb(150, 175, 175);
constexpr uint32_t kFutureEmpty = colour::rgb(120, 120, 120);

QRectF fieldCell(int x, int y, double low, double high) {
    const double left = (x - 4) * kCell;
    const double top = y * kCell;
    return QRectF(QPointF(left + low, top + low), QPointF(left + high, top + high));
}

bool fieldAt(const Game& game, int x, int y) {
    // The figure's window and the phantom's box may reach past the margins; those cells are empty.
    return x >= 0 && x < Game::kColumns && y >= 0 && y < Game::kRows && game.C[x][y];
}

int channel(double r, double scale, double base) {
    return static_cast<int>(std::min<int64_t>(255, roundHalfEven(r * scale + base)));
}

}  // namespace

// ---------------------------------------------------------------- PictureCanvas

void PictureCanvas::setGeometry(int logicalWidth, int logicalHeight, double userWidth,
                                double userHeight, double dpr) {
    dpr_ = dpr > 0 ? dpr : 1;
    const int w = std::max(1, static_cast<int>(std::lround(logicalWidth * dpr_)));
    const int h = std::max(1, static_cast<int>(std::lround(logicalHeight * dpr_)));
    if (image_.width() != w || image_.height() != h) image_ = QImage(w, h, QImage::Format_RGB32);
    // Set while no copy of the image exists, so the pixels are never duplicated for it.
    image_.setDevicePixelRatio(dpr_);
    sx_ = userWidth > 0 ? w / userWidth : 1;
    sy_ = userHeight > 0 ? h / userHeight : 1;
    cls();
}

void PictureCanvas::cls() {
    if (image_.isNull()) return;
    image_.fill(colour::toQRgb(background_));
    dirty_ = image_.rect();
}

int PictureCanvas::penWidth() const {
    return std::max(1, static_cast<int>(std::lround(dpr_)));
}

QPointF PictureCanvas::toDevice(double x, double y) const {
    return QPointF(x * sx_, y * sy_);
}

QRect PictureCanvas::toDevice(const QRectF& user) const {
    const QRectF n = user.normalized();
    const int left = static_cast<int>(std::lround(n.left() * sx_));
    const int top = static_cast<int>(std::lround(n.top() * sy_));
    const int right = static_cast<int>(std::lround(n.right() * sx_));
    const int bottom = static_cast<int>(std::lround(n.bottom() * sy_));
    // Half-open, so neighbouring squares never share a pixel; never thinner than one pixel.
    return QRect(left, top, std::max(1, right - left), std::max(1, bottom - top));
}

void PictureCanvas::fill(QRect device, QRgb rgb) {
    device &= image_.rect();
    if (device.isEmpty()) return;
    // One detach check for the whole square, not one per row.
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (int y = device.top(); y <= device.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
        std::fill(row + device.left(), row + device.right() + 1, rgb);
    }
    dirty_ |= device;
}

void PictureCanvas::box(double x1, double y1, double x2, double y2, uint32_t winColour) {
    const QRect r = toDevice(QRectF(QPointF(x1, y1), QPointF(x2, y2)));
    const int pen = penWidth();
    const QRgb outline = colour::toQRgb(winColour);
    if (r.width() <= 2 * pen || r.height() <= 2 * pen) {
        fill(r, outline);
        return;
    }
    fill(QRect(r.left(), r.top(), r.width(), pen), outline);
    fill(QRect(r.left(), r.bottom() - pen + 1, r.width(), pen), outline);
    fill(QRect(r.left(), r.top() + pen, pen, r.height() - 2 * pen), outline);
    fill(QRect(r.right() - pen + 1, r.top() + pen, pen, r.height() - 2 * pen), outline);
    if (!fillTransparent_) fill(r.adjusted(pen, pen, -pen, -pen), colour::toQRgb(fillColour_));
}

void PictureCanvas::filledBox(double x1, double y1, double x2, double y2, uint32_t winColour) {
    fill(toDevice(QRectF(QPointF(x1, y1), QPointF(x2, y2))), colour::toQRgb(winColour));
}

void PictureCanvas::line(double x1, double y1, double x2, double y2, uint32_t winColour) {
    if (image_.isNull()) return;
    const int pen = penWidth();
    const QPointF a = toDevice(x1, y1);
    const QPointF b = toDevice(x2, y2);
    const int ax = static_cast<int>(std::lround(a.x())), ay = static_cast<int>(std::lround(a.y()));
    const int bx = static_cast<int>(std::lround(b.x())), by = static_cast<int>(std::lround(b.y()));
    if (ax == bx || ay == by) {
        // Grid lines are all straight: plain pixel runs keep them sharp and cheap.
        fill(QRect(QPoint(std::min(ax, bx), std::min(ay, by)),
                   QPoint(std::max(ax, bx) + pen - 1, std::max(ay, by) + pen - 1)),
             colour::toQRgb(winColour));
        return;
    }
    // A view on the same pixels without the ratio, so the painter works in device pixels.
    QImage view(image_.bits(), image_.width(), image_.height(), image_.bytesPerLine(),
                image_.format());
    QPainter p(&view);
    p.setPen(QPen(QColor(colour::toQRgb(winColour)), pen));
    p.drawLine(a, b);
    p.end();
    dirty_ |= QRect(QPoint(std::min(ax, bx) - pen, std::min(ay, by) - pen),
                    QPoint(std::max(ax, bx) + pen, std::max(ay, by) + pen)) &
              image_.rect();
}

QRect PictureCanvas::takeDirty() {
    const QRect d = dirty_;
    dirty_ = QRect();
    return d;
}

// ---------------------------------------------------------------- FieldRenderer

void FieldRenderer::DrawField() {
    field_.cls();
    for (int x = 4; x <= game_.bytMaxX - 4; ++x)
        for (int y = 0; y <= game_.bytMaxY - 4; ++y)
            if (fieldAt(game_, x, y)) {
                const QRectF r = fieldCell(x, y, kInsetLow, kInsetHigh);
                field_.box(r.left(), r.top(), r.right(), r.bottom(), kLanded);
            }
}

void FieldRenderer::DrawGrid() {
    if (!game_.settings.bDrawSetka) return;
    const uint32_t c = game_.intPlace < 1 ? kGridFirstPlace : kGridOtherPlace;
    const double right = game_.bytMaxX * kCell;
    const double bottom = game_.bytMaxY * kCell;
    for (int i = 0; i <= game_.bytMaxX; ++i)
        field_.line(i * kCell, 0, i * kCell, bottom, c);
    for (int i = 0; i <= game_.bytMaxY; ++i)
        field_.line(0, i * kCell, right, i * kCell, c);
}

void FieldRenderer::DrawFigure() {
    const int figX = game_.bytFigX;
    const int figY = game_.bytFigY;
    const int xs = figX > game_.bytMaxX - 4 ? figX : figX - 1;
    const int ys = figY == 0 ? 0 : figY - 1;
    for (int cx = xs; cx <= xs + 5; ++cx)
        for (int cy = ys; cy <= ys + 4; ++cy) {
            const int fx = cx - figX;
            const int fy = cy - figY;
            const QRectF r = fieldCell(cx, cy, kInsetLow, kInsetHigh);
            if (fx >= 0 && fx < 4 && fy >= 0 && fy < 4 && game_.Figura[fx][fy]) {
                field_.box(r.left(), r.top(), r.right(), r.bottom(), kFalling);
            } else if (cx >= 3 && cx <= game_.bytMaxX - 3 && !fieldAt(game_, cx, cy)) {
                field_.filledBox(r.left(), r.top(), r.right(), r.bottom(), kErased);
            }
        }
}

void FieldRenderer::DrawNext() {
    // The picture's fill colour follows the announcement of the next figure.
    next_.setFillColour(game_.score.nextFillColour);
    next_.cls();
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y)
            if (game_.NextFigura[x][y]) {
                const double left = x * kCell + kNextShift;
                const double top = y * kCell + kNextShift;
                next_.box(left + kInsetLow, top + kInsetLow, left + kInsetHigh, top + kInsetHigh,
                          game_.score.ColorFigura);
            }
}

void FieldRenderer::ErasePhantom(int x, int y) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            const int cx = phantomX_ + c;
            const int cy = phantomY_ + r;
            const QRectF cell = fieldCell(cx, cy, kInsetLow, kInsetHigh);
            if (fieldAt(game_, cx, cy))
                field_.box(cell.left(), cell.top(), cell.right(), cell.bottom(), kLanded);
            else
                field_.filledBox(cell.left(), cell.top(), cell.right(), cell.bottom(), kErased);
        }
    phantomX_ = x;
    phantomY_ = y;
}

void FieldRenderer::DrawPhantom(int x, int y) {
    const double a1 = rnd_.next(), a2 = rnd_.next(), a3 = rnd_.next();
    const uint32_t inner =
        colour::rgb(channel(a1, 55, 50), channel(a2, 55, 100), channel(a3, 55, 100));
    const double b1 = rnd_.next(), b2 = rnd_.next(), b3 = rnd_.next();
    const uint32_t outer =
        colour::rgb(channel(b1, 105, 200), channel(b2, 55, 200), channel(b3, 55, 200));
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            if (!game_.Figura[c][r]) continue;
            const QRectF o = fieldCell(x + c, y + r, kInsetLow, kInsetHigh);
            field_.filledBox(o.left(), o.top(), o.right(), o.bottom(), outer);
            const QRectF i = fieldCell(x + c, y + r, kPhantomLow, kPhantomHigh);
            field_.filledBox(i.left(), i.top(), i.right(), i.bottom(), inner);
        }
}

void DrawFuture(const Game& game, PictureCanvas& future) {
    future.cls();
    for (int q = 3; q <= 5; ++q) {
        const double off = (q - 3) * kFutureStep;
        const std::string& pattern = game.arrQueue[q].Pattern;
        size_t k = 0;
        for (int a = 1; a <= 4; ++a)
            for (int b = 1; b <= 4; ++b, ++k) {
                const bool filled = k < pattern.size() && pattern[k] == '1';
                future.box(a * kCell + kInsetLow, off + b * kCell + kInsetLow,
                           a * kCell + kInsetHigh, off + b * kCell + kInsetHigh,
                           filled ? kLanded : kFutureEmpty);
            }
    }
}

}  // namespace morvast
