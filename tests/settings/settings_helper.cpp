// One start of the game touching the settings file, run by the tests under another account:
//   settings_helper FOLDER load   prints the load status
//   settings_helper FOLDER save   loads, changes the music frequency to 22050, saves; prints both
#include <cstdio>
#include <cstring>

#include "settings/settings_file.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    morvast::SettingsFile file(QString::fromLocal8Bit(argv[1]), QStringLiteral("Test"));
    morvast::SettingsLoad load = file.LoadSettings();
    std::printf("load=%d", int(load.status));
    if (std::strcmp(argv[2], "save") == 0) {
        load.values.freq = 22050;
        std::printf(" save=%d", int(file.SaveSettings(load.values)));
    }
    std::printf("\n");
    return 0;
}
