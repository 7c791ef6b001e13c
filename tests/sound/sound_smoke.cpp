// Starts the sound system the way the main window does (the program folder's default media, the
// default device), sounds every effect over the background music for two seconds and exits.
// Prints the output it got and its rate, for the checks that read what the device wrote.

#include <chrono>
#include <cstdio>
#include <thread>

#include <QCoreApplication>

#include "settings/app_paths.h"
#include "sound/sound_system.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    bool EnableSoundControl = true;
    morvast::SoundSystem sounds(morvast::sound::openAudioOutput(), EnableSoundControl, [] {});
    int32_t freq = 0;
    sounds.applyDefaults(morvast::programFolder(), freq);
    std::printf("output %s rate %d music %s\n", sounds.output().name().c_str(),
                sounds.output().rate(), sounds.music.loaded() ? "loaded" : "missing");
    std::fflush(stdout);
    for (int i = 0; i < 20; ++i) {
        sounds.playSound(static_cast<morvast::SoundEffect>(i % 10));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return sounds.music.loaded() ? 0 : 1;
}
