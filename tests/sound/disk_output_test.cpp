// The whole chain on real SDL drivers. Run under ThreadSanitizer too: the device's own thread
// mixes while this thread plays, cuts, pans, loads and stops everything it can. What the device
// is given (float stereo, sound on both sides) is the end-to-end music test's to check.

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "media_helpers.h"
#include "sound/sound_system.h"

namespace morvast {
namespace {

TEST(DiskOutput, TheDeviceThreadMixesWhileEveryCallIsMadeAndNoDeviceIsNoFailure) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(sound::openAudioOutput()->name(), "null");

    const std::string file = testing::scratchDir() + "/disk.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    bool EnableSoundControl = true;
    SoundSystem sounds(sound::openAudioOutput(), EnableSoundControl, [] {});
    ASSERT_EQ(sounds.output().name(), "sdl:disk");
    int32_t freq = 0;
    sounds.applyDefaults(QStringLiteral(MORVAST_PROGRAM_DIR), freq);
    ASSERT_TRUE(sounds.music.loaded());
    QString musicPath = sounds.music.path();
    for (int i = 0; i < 400; ++i) {
        int16_t pan = static_cast<int16_t>((i * 500) % 11000 - 5500);
        sounds.music.BkgMusicSetPan(pan);
        sounds.playSound(static_cast<SoundEffect>(i % 10));
        if (i % 50 == 0) sounds.music.BkgMusicLoad(musicPath, freq);
        if (i % 7 == 0) sounds.music.BkgMusicStop();
        if (i % 7 == 3) sounds.music.BkgMusicPlay();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    // Everything asked for was taken: the last effect plays and the music is where it was
    // left.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(sounds.effect(SoundEffect::Inverse).isSounding());
    EXPECT_EQ(sounds.music.isSounding(), 399 % 7 >= 3);
}

}  // namespace
}  // namespace morvast
