// One start and end of the game, run by the tests under another account: loads the settings
// from FOLDER, changes the music frequency to 22050, saves, and prints both outcomes.
#include <cstdio>

#include "settings/settings_file.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    morvast::SettingsFile file(QString::fromLocal8Bit(argv[1]), QStringLiteral("Test"));
    morvast::SettingsLoad load = file.LoadSettings();
    load.values.freq = 22050;
    std::printf("load=%d save=%d\n", int(load.status), int(file.SaveSettings(load.values)));
    return 0;
}
