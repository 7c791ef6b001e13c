#include "settings/settings.h"

#include "settings/app_paths.h"

namespace morvast {

const std::array<const char*, kEffectCount> kEffectFileNames = {
    "left1.WAV", "right1.WAV", "rotate1.WAV", "drop1.WAV",    "drop2.WAV",
    "down1.WAV", "down2.WAV",  "dellin1.WAV", "morvast1.WAV", "inverse1.WAV"};

QString defaultEffectPath(EffectSlot slot) {
    return QStringLiteral("sound\\") +
           QString::fromLatin1(kEffectFileNames[static_cast<int>(slot)]);
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
        resolve(s.effects[i].DMCtrlPath, programFolder, defaultEffectPath(EffectSlot(i)));
    resolve(s.MP3Path, programFolder, QString::fromLatin1(kDefaultMP3));
}

}  // namespace morvast
