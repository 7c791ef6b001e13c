#pragma once

#include "scoring/sound_effects.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace morvast {

// A path line of the settings file. `stored` is the line's text, "..." for the default file;
// `used` is the absolute path it stands for (filled by resolvePaths). The default file keeps
// "..."; once the program has run, the file holds the paths that were in use.
struct PathLine {
    QString stored = QStringLiteral("...");
    QString used;
    // The line's bytes where the system encoding would write `stored` otherwise (a name in the
    // original's code page), so that an unchanged path goes back byte for byte.
    QByteArray bytes;

    // The path in use when the settings are saved. The path read stays as the player wrote it
    // (relative, with "\", in its bytes) while it is still the one in use; any other is written
    // as it is ("..." included, which the player window stores when its file is dropped), and
    // "..." read gives way to the path it stood for.
    void set(const QString& path) {
        if (path == used && stored != QLatin1String("...")) return;
        used = path;
        stored = path;
        bytes.clear();
    }
    bool operator==(const PathLine&) const = default;
};

// Window positions in twips (single precision, as the original's Left and Top).
struct WindowPlace {
    float Left = 0;
    float Top = 0;
    bool operator==(const WindowPlace&) const = default;
};

// A side window: whether it is open, and where. A closed window has no position lines in the
// file; its position keeps the value it had (the default here), which the writer leaves out.
struct SideWindowPlace {
    bool Visible = true;
    float Left = 0;
    float Top = 0;
    bool operator==(const SideWindowPlace&) const = default;
};

// One sound-effect object's four lines.
struct EffectSettings {
    PathLine DMCtrlPath;
    bool DMCtrlEnabled = true;
    int16_t DMCtrlVolume = -1500;  // hundredths of a decibel of attenuation, passed on unchanged
    int32_t DMCtrlFreq = 15000;    // hertz; 0 means the file's own rate
    bool operator==(const EffectSettings&) const = default;
};

// Where "..." leads, relative to the program folder ("\" and "/" both separate, found
// case-insensitively).
inline constexpr const char* kDefaultBkgMusic = "Sound\\bkgmusic.WAV";
inline constexpr const char* kDefaultMP3 = "sound\\AnotherBkg.mp3";
QString defaultEffectPath(SoundEffect e);  // "sound\" + the effect's file name

// Everything the settings file holds, in file order, with the values of the default file. The
// label line between EnableSoundControl and PathToBkgMusic is read and ignored and always written
// as "morvast-music...", so it has no field.
struct Settings {
    WindowPlace frmMain{2955, 1560};
    SideWindowPlace frmMorvasFathers{true, 9905, 7605};
    SideWindowPlace frmStatistic{true, 11530, 1560};
    SideWindowPlace frmFuture{true, 9905, 1560};
    SideWindowPlace frmMP3{true, 9905, 5872};
    bool EnableSoundControl = true;
    PathLine PathToBkgMusic;
    bool EnableLoop = true;
    // The background music's volume: what BkgMusicGetVolume gave at saving (0 when no music was
    // loaded), handed to BkgMusicSetVolume at loading.
    int16_t bkgVolume = -1500;
    int32_t freq = 13500;
    std::array<EffectSettings, kEffectCount> effects{};  // in SoundEffect order
    PathLine MP3Path;
    bool MP3Enable = true;
    bool MP3Loop = true;
    int16_t SpeedChange = 0;
    uint8_t iFantom = 1;
    bool bDrawSetka = true;

    EffectSettings& effect(SoundEffect e) { return effects[static_cast<int>(e)]; }
    const EffectSettings& effect(SoundEffect e) const { return effects[static_cast<int>(e)]; }

    bool operator==(const Settings&) const = default;
};

// Fills every path line's `used` from its `stored` text: "..." becomes the default file in the
// program folder; any other text is taken with "\" as a separator, relative to the program
// folder (not the current one), each component found regardless of letter case when its exact
// spelling does not exist. Whether the file exists is not checked.
void resolvePaths(Settings& s, const QString& programFolder);

}  // namespace morvast
