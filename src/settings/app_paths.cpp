#include "settings/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace morvast {

QString programFolder() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString chooseDataFolder(const QString& programFolder, const QString& xdgDataHome,
                         const QString& home) {
    if (QFileInfo(programFolder).isWritable()) return programFolder;
    // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
    const QString base = QDir::isAbsolutePath(xdgDataHome)
                             ? xdgDataHome
                             : QDir(home).filePath(QStringLiteral(".local/share"));
    return QDir::cleanPath(QDir(base).filePath(QString::fromUtf8(kGameId)));
}

QString dataFolder() {
    static const QString folder = [] {
        const QString program = programFolder();
        const QString chosen =
            chooseDataFolder(program, qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
        if (chosen != program && !QFileInfo::exists(chosen) && QDir().mkpath(chosen))
            QFile::setPermissions(chosen, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return chosen;
    }();
    return folder;
}

QString resolvePath(const QString& base, const QString& relative) {
    // A "\" is a separator unless a file here has it in its name.
    if (QDir::isAbsolutePath(relative) && QFileInfo::exists(relative)) return relative;
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
