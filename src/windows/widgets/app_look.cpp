#include "windows/widgets/app_look.h"

#include <cmath>

#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QPixmap>

namespace morvast {

void registerFonts() {
    static bool done = false;
    if (done) return;
    done = true;
    for (const char* name : {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"}) {
        const QString path = QStringLiteral("/usr/share/wine/fonts/") + QLatin1String(name);
        if (QFile::exists(path)) QFontDatabase::addApplicationFont(path);
    }
}

QFont designFont(const QString& family, double points, bool bold) {
    QFont f(family);
    f.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    f.setBold(bold);
    return f;
}

namespace {

// An L of three cells and one loose cell, with the field's yellow and the figure's cyan, on a
// 4 x 4 box; each cell is a filled square inset as on the field, outlined in its colour.
struct IconCell {
    int x, y;
    QColor colour;
};
const IconCell kIconCells[] = {{0, 1, QColor(255, 255, 0)}, {0, 2, QColor(255, 255, 0)},
                               {0, 3, QColor(255, 255, 0)}, {1, 3, QColor(255, 255, 0)},
                               {2, 0, QColor(0, 255, 255)}, {2, 1, QColor(0, 255, 255)},
                               {3, 1, QColor(0, 255, 255)}, {3, 3, QColor(255, 0, 0)}};
const QColor kIconFill(0, 0, 192);
constexpr double kIconInset = 28.0 / 250.0;  // of a cell

QRectF iconCellRect(const IconCell& c, double side) {
    const double cell = side / 4.0;
    const double inset = cell * kIconInset;
    return QRectF(c.x * cell + inset, c.y * cell + inset, cell - 2 * inset, cell - 2 * inset);
}

}  // namespace

void paintIconPicture(QPainter& p, int side) {
    p.fillRect(0, 0, side, side, Qt::black);
    for (const IconCell& c : kIconCells) {
        const QRectF r = iconCellRect(c, side);
        p.fillRect(r, kIconFill);
        p.setPen(c.colour);
        p.drawRect(r);
    }
}

QByteArray iconPictureSvg() {
    constexpr int kSide = 64;
    QByteArray svg = QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" "
        "viewBox=\"0 0 64 64\">\n"
        "  <rect width=\"64\" height=\"64\" fill=\"#000000\"/>\n");
    for (const IconCell& c : kIconCells) {
        const QRectF r = iconCellRect(c, kSide);
        svg += QStringLiteral(
                   "  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%3\" fill=\"%4\" "
                   "stroke=\"%5\"/>\n")
                   .arg(r.x())
                   .arg(r.y())
                   .arg(r.width())
                   .arg(kIconFill.name(), c.colour.name())
                   .toUtf8();
    }
    return svg + "</svg>\n";
}

QIcon makeWindowIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pm(size, size);
        QPainter p(&pm);
        paintIconPicture(p, size);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace morvast
