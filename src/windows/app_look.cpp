#include "windows/app_look.h"

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

QIcon makeWindowIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::black);
        QPainter p(&pm);
        const double cell = size / 4.0;
        const double inset = cell * 28.0 / 250.0;
        // An L of three cells and one loose cell, with the field's yellow and the figure's cyan.
        const struct {
            int x, y;
            QColor c;
        } cells[] = {{0, 1, QColor(255, 255, 0)}, {0, 2, QColor(255, 255, 0)},
                     {0, 3, QColor(255, 255, 0)}, {1, 3, QColor(255, 255, 0)},
                     {2, 0, QColor(0, 255, 255)}, {2, 1, QColor(0, 255, 255)},
                     {3, 1, QColor(0, 255, 255)}, {3, 3, QColor(255, 0, 0)}};
        for (const auto& c : cells) {
            const QRectF r(c.x * cell + inset, c.y * cell + inset, cell - 2 * inset,
                           cell - 2 * inset);
            p.fillRect(r, QColor(0, 0, 192));
            p.setPen(c.c);
            p.drawRect(r);
        }
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace morvast
