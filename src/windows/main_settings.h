#pragma once

#include <cstdint>

#include <QString>

namespace morvast {

// The public settings variables of the main window with their default-file values. The settings
// file fills them once it is read.
struct MainSettings {
    int16_t SpeedChange = 0;
    bool EnableLoop = true;
    bool EnableSoundControl = true;
    QString PathToBkgMusic = QStringLiteral("...");
    int32_t freq = 13500;
    uint8_t iFantom = 1;
    QString MP3Path = QStringLiteral("...");
    bool MP3Enable = true;
    bool MP3Loop = true;
    bool bDrawSetka = true;
};

}  // namespace morvast
