#include "settings/file_paths.h"

#include <algorithm>

namespace morvast {
namespace {

qsizetype lastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
}

}  // namespace

QString GetFileName(const QString& FullFileName) {
    return FullFileName.mid(lastSeparator(FullFileName) + 1);
}

QString GetFilePath(const QString& path) {
    return path.left(lastSeparator(path) + 1);
}

}  // namespace morvast
