// Draws the program's icon for the desktop's icon theme: PNGs at the usual sizes and an SVG,
// from the same picture the program's windows carry.
//
//   make_icons <theme folder> <icon name>
// writes <theme folder>/<N>x<N>/apps/<icon name>.png and .../scalable/apps/<icon name>.svg.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cstdio>

#include "windows/widgets/app_look.h"

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icons <theme folder> <icon name>\n");
        return 2;
    }
    const QDir theme(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = theme.filePath(QStringLiteral("%1x%1/apps").arg(side));
        QImage image(side, side, QImage::Format_ARGB32);
        QPainter p(&image);
        morvast::paintIconPicture(p, side);
        p.end();
        if (!QDir().mkpath(folder) || !image.save(QDir(folder).filePath(name + ".png"), "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write into %s\n", qPrintable(folder));
            return 1;
        }
    }
    const QString scalable = theme.filePath(QStringLiteral("scalable/apps"));
    QFile svg(QDir(scalable).filePath(name + ".svg"));
    if (!QDir().mkpath(scalable) || !svg.open(QIODevice::WriteOnly) ||
        svg.write(morvast::iconPictureSvg()) < 0) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    return 0;
}
