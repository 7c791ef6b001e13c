#include "settings/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace morvast {

QString programFolder() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString resolvePath(const QString& base, const QString& relative) {
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isAbsolutePath(rel) && QFileInfo::exists(rel)) return rel;

    QString current = QDir::isAbsolutePath(rel) ? QStringLiteral("/") : base;
    const QStringList parts = rel.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        QDir dir(current);
        QString next = dir.filePath(part);
        if (!QFileInfo::exists(next)) {
            const QStringList entries =
                dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
            for (const QString& e : entries) {
                if (e.compare(part, Qt::CaseInsensitive) == 0) {
                    next = dir.filePath(e);
                    break;
                }
            }
        }
        current = next;
    }
    return QDir::cleanPath(current);
}

QString resolveProgramPath(const QString& relative) {
    return resolvePath(programFolder(), relative);
}

}  // namespace morvast
