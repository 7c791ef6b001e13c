#include "settings/settings.h"

#include "settings/app_paths.h"

namespace morvast {

QString defaultEffectPath(SoundEffect e) {
    return QStringLiteral("sound\\") + QString::fromLatin1(effectInfo(e).fileName);
}

namespace {

void resolve(PathLine& p, const QString& folder, const QString& defaultRelative) {
    // An empty line names no file, not the folder.
    if (p.stored.isEmpty())
        p.used.clear();
    else
        p.used = resolvePath(folder, p.stored == QLatin1String("...") ? defaultRelative : p.stored);
}

}  // namespace

void resolvePaths(Settings& s, const QString& programFolder) {
    resolve(s.PathToBkgMusic, programFolder, QString::fromLatin1(kDefaultBkgMusic));
    for (int i = 0; i < kEffectCount; ++i)
        resolve(s.effects[i].DMCtrlPath, programFolder, defaultEffectPath(SoundEffect(i)));
    resolve(s.MP3Path, programFolder, QString::fromLatin1(kDefaultMP3));
}

}  // namespace morvast
