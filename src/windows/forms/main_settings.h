#pragma once

#include <cstdint>

#include <QString>

namespace morvast {

// The public settings variables of the main window with their default-file values, except those
// the rules and the drawing read (SpeedChange, EnableLoop, iFantom, bDrawSetka), which live in
// the game's PlaySettings. The settings file fills both once it is read.
struct MainSettings {
    bool EnableSoundControl = true;
    QString PathToBkgMusic = QStringLiteral("...");
    int32_t freq = 13500;
    QString MP3Path = QStringLiteral("...");
    bool MP3Enable = true;
    bool MP3Loop = true;
};

}  // namespace morvast
