#include <cmath>

#include <gtest/gtest.h>

#include "media_helpers.h"
#include "sound/audio_output.h"
#include "sound/cls_dm_ctrl.h"
#include "sound/direct_sound.h"
#include "sound/sound_system.h"

namespace morvast {
namespace {

using testing::peak;
constexpr int kRate = 48000;

// A mono file holding one level, so the output tells how many copies sound and how loud.
QString levelFile(const std::string& name, float level, int frames, int rate = 15000) {
    const std::string path = testing::scratchDir() + "/" + name;
    testing::writeWave(path, std::vector<float>(static_cast<size_t>(frames), level), rate);
    return QString::fromStdString(path);
}

std::vector<float> render(sound::Mixer& mixer, int frames) {
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    mixer.render(out.data(), frames);
    return out;
}

struct Effects : ::testing::Test {
    sound::Mixer mixer{kRate};
    bool EnableSoundControl = true;
    clsDMCtrl a{mixer, EnableSoundControl};
    clsDMCtrl b{mixer, EnableSoundControl};
    void SetUp() override {
        a.DMCtrlPath(levelFile("a.wav", 0.25f, 15000));
        a.DMCtrlEnabled(true);
        b.DMCtrlPath(levelFile("b.wav", 0.5f, 15000));
        b.DMCtrlEnabled(true);
    }
};

TEST_F(Effects, PlayAppliesSettingsAndCutsOnlyItsOwnEarlierSound) {
    a.DMCtrlPlay();
    EXPECT_EQ(a.DMCtrlFreq(), 15000);  // 0 meant the file's own rate
    EXPECT_NEAR(render(mixer, 100)[20], 0.25f, 1e-4);

    a.DMCtrlVolume(-600);
    a.DMCtrlFreq(30000);  // twice as fast: the one-second file ends after half a second
    a.DMCtrlPlay();
    auto out = render(mixer, kRate);
    EXPECT_NEAR(out[20], 0.25f * std::pow(10.0f, -0.3f), 1e-4);  // one copy, not two
    EXPECT_GT(peak(out, 0, kRate / 2 - 100, kRate / 2 - 10), 0.1f);
    EXPECT_EQ(peak(out, 0, kRate / 2 + 10), 0.0f);

    // Same path, new content and size: the kept copy must not be played. Another object mixes.
    levelFile("a.wav", -0.125f, 7000);
    a.DMCtrlVolume(0);
    a.DMCtrlPlay();
    b.DMCtrlPlay();
    EXPECT_NEAR(render(mixer, 100)[20], 0.375f, 1e-4);
}

TEST_F(Effects, SwitchedOffIsSilentButLetsARunningSoundEnd) {
    EnableSoundControl = false;
    a.DMCtrlPlay();
    EXPECT_EQ(peak(render(mixer, 1000), 0), 0.0f);
    EXPECT_EQ(a.DMCtrlFreq(), 0);

    EnableSoundControl = true;
    a.DMCtrlPlay();
    a.DMCtrlEnabled(false);
    a.DMCtrlPlay();  // ignored: the first sound goes on
    EnableSoundControl = false;
    b.DMCtrlPlay();
    EXPECT_NEAR(render(mixer, 100)[20], 0.25f, 1e-4);

    // A file that cannot be played sounds nothing and does not learn a rate.
    EnableSoundControl = true;
    for (const char* bad : {"", "/nonexistent/x.wav", "/tmp"}) {
        b.DMCtrlPath(QString::fromUtf8(bad));
        b.DMCtrlPlay();
        EXPECT_FALSE(b.isSounding()) << bad;
        EXPECT_EQ(b.DMCtrlFreq(), 0) << bad;
    }
}

TEST(BackgroundMusic, LoopsAndResumesAndAFailedLoadKeepsOnlyTheVolume) {
    sound::Mixer mixer(kRate);
    DirectSound music(mixer);
    QString path = levelFile("music.wav", 0.5f, 1350, 13500);  // a tenth of a second
    int32_t freq = 0, f = 27000;
    music.BkgMusicLoad(path, freq);
    EXPECT_EQ(freq, 13500);
    EXPECT_NEAR(peak(render(mixer, kRate), 0, kRate - 100), 0.5f, 1e-4);  // ten times round

    int16_t volume = -2000, pan = 10000;
    music.BkgMusicSetVolume(volume);
    music.BkgMusicSetPan(pan);
    music.BkgMusicSetFreq(f);
    auto out = render(mixer, 100);
    EXPECT_NEAR(out[21], 0.05f, 1e-4);
    EXPECT_EQ(out[20], 0.0f);
    const double before = mixer.snapshot(0).position;
    music.BkgMusicStop();
    render(mixer, 1000);
    music.BkgMusicPlay();
    render(mixer, 480);
    EXPECT_NEAR(std::fmod(before + 270, 1350), mixer.snapshot(0).position, 1e-6);

    music.BkgMusicStop();
    QString missing = QStringLiteral("/nonexistent/bkgmusic.WAV");
    music.BkgMusicLoad(missing, freq);
    EXPECT_EQ(freq, 13500);
    volume = -700;
    f = 20000;
    music.BkgMusicSetVolume(volume);
    music.BkgMusicSetFreq(f);
    EXPECT_EQ(music.BkgMusicGetVolume(), 0);  // what the settings then save
    EXPECT_EQ(music.BkgMusicGetFreq(), 0);
    music.BkgMusicPlay();
    EXPECT_EQ(peak(render(mixer, 1000), 0), 0.0f);
    // A load while the music is stopped starts the new music, at the remembered volume.
    music.BkgMusicLoad(path);
    EXPECT_TRUE(music.isSounding());
    EXPECT_EQ(music.BkgMusicGetVolume(), -700);
}

TEST(SoundSystem, DefaultsReachTheBuiltMedia) {
    bool EnableSoundControl = true, forgotten = false;
    auto output = std::make_unique<sound::ManualAudioOutput>(kRate, 512);
    sound::ManualAudioOutput& device = *output;
    SoundSystem sounds(std::move(output), EnableSoundControl, [&] { forgotten = true; });
    int32_t freq = 0;
    sounds.applyDefaults(QStringLiteral(MORVAST_PROGRAM_DIR), freq);
    EXPECT_EQ(freq, 13500);
    EXPECT_EQ(sounds.music.BkgMusicGetVolume(), -1500);
    EXPECT_GT(peak(device.render(kRate), 0), 0.01f);

    sounds.music.BkgMusicStop();
    for (int i = 0; i <= static_cast<int>(SoundEffect::Inverse); ++i) {
        const auto which = static_cast<SoundEffect>(i);
        EXPECT_EQ(sounds.effect(which).DMCtrlVolume(), -1500);
        EXPECT_EQ(sounds.effect(which).DMCtrlFreq(), 15000);
        sounds.playSound(which);
        const auto out = device.render(kRate / 2);
        // Each effect is heard and starts without a jump.
        EXPECT_GT(peak(out, 0), 0.05f) << defaultEffectFile(which);
        EXPECT_LT(std::fabs(out[0]), 0.01f) << defaultEffectFile(which);
    }
    EXPECT_FALSE(forgotten);
}

}  // namespace
}  // namespace morvast
