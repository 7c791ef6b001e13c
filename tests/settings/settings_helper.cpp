// One start and end of the game, run by the tests under another account: loads the settings
// from FOLDER, changes the music frequency to 22050, saves, and prints both outcomes.
// With --defaults instead, prints the bytes of the default settings file, which the end-to-end
// tests compare with what the real program writes.
#include <cstdio>
#include <cstring>

#include "settings/settings_file.h"
#include "settings/settings_format.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    if (std::strcmp(argv[1], "--defaults") == 0) {
        const QByteArray bytes = morvast::defaultSettingsBytes();
        return std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) ==
                       static_cast<size_t>(bytes.size())
                   ? 0
                   : 1;
    }
    morvast::SettingsFile file(QString::fromLocal8Bit(argv[1]), QStringLiteral("Test"));
    morvast::SettingsLoad load = file.LoadSettings();
    load.values.freq = 22050;
    std::printf("load=%d save=%d\n", int(load.status), int(file.SaveSettings(load.values)));
    return 0;
}
