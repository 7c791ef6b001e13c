#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "media_helpers.h"
#include "sound/audio_output.h"
#include "sound/cls_dm_ctrl.h"
#include "sound/direct_sound.h"
#include "sound/looping_stream.h"
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

// Largest step between neighbouring samples of one channel.
float largestStep(const std::vector<float>& out, int channel, size_t from = 0) {
    float largest = 0;
    for (size_t i = from * 2 + 2 + channel; i < out.size(); i += 2)
        largest = std::max(largest, std::fabs(out[i] - out[i - 2]));
    return largest;
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

TEST_F(Effects, PlayUsesTheSoundDecodedWithThePathAppliesSettingsAndCutsOnlyItsOwnEarlierSound) {
    // Same size and time, other bytes: a play that decoded now would find no sound in them.
    const std::string path = a.DMCtrlPath().toStdString();
    const auto time = std::filesystem::last_write_time(path);
    testing::writeBytes(path, std::vector<uint8_t>(std::filesystem::file_size(path), 0x5a));
    std::filesystem::last_write_time(path, time);
    a.DMCtrlPlay();
    EXPECT_EQ(a.DMCtrlFreq(), 15000);  // 0 meant the file's own rate
    EXPECT_NEAR(render(mixer, 100)[20], 0.25f, 1e-4);

    a.DMCtrlVolume(-600);
    a.DMCtrlFreq(30000);  // twice as fast: the one-second file ends after half a second
    a.DMCtrlPlay();
    auto out = render(mixer, kRate);
    // One copy, not two, once the cut sound has faded out.
    EXPECT_NEAR(out[2 * 300], 0.25f * std::pow(10.0f, -0.3f), 1e-4);
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

    // A file that cannot be played cuts the object's sound and teaches it no rate; which files
    // cannot be played is the decoder's to tell.
    EnableSoundControl = true;
    for (clsDMCtrl* o : {&a, &b}) {
        o->DMCtrlPath(QStringLiteral("/nonexistent/x.wav"));
        o->DMCtrlEnabled(true);
        o->DMCtrlPlay();
        EXPECT_FALSE(o->isSounding());
    }
    EXPECT_EQ(b.DMCtrlFreq(), 0);
}

TEST_F(Effects, ARestartFadesTheEarlierSoundOutWithinFiveMillisecondsWithoutAStep) {
    // A restart in mid-wave: the earlier sound fades out while the new one starts at once, so
    // the output is the new sound plus a tail that shrinks to nothing.
    const auto tone = [](size_t i) {
        return 0.5f * std::sin(2.0f * float(M_PI) * 440 * i / kRate);
    };
    const std::string file = testing::scratchDir() + "/tone.wav";
    ASSERT_TRUE(testing::ffmpegMake(testing::tone(kRate, 1, 0.25) + " -c:a pcm_s16le", file));
    a.DMCtrlPath(QString::fromStdString(file));
    a.DMCtrlPlay();
    auto before = render(mixer, 27);  // a quarter wave: near the crest
    EXPECT_GT(before.back(), 0.45f);
    a.DMCtrlPlay();
    auto after = render(mixer, 1000);
    after.insert(after.begin(), before.end() - 2, before.end());
    constexpr float kToneStep = 0.5f * 2 * float(M_PI) * 440 / kRate;
    // The fade adds a little to the tone's own steepest step; a hard cut would add the crest.
    EXPECT_LT(largestStep(after, 0), kToneStep + 0.01f);
    const size_t fade = kRate / 200;
    for (size_t i = 0; i < 1000; ++i) {
        const float tail = after[(i + 1) * 2] - tone(i);
        ASSERT_LE(std::fabs(tail), i < fade ? 0.5f * (1.0f - float(i) / fade) + 1e-3f : 1e-3f) << i;
    }
}

// Renders as a device would, each buffer once the music's own thread has decoded enough for it.
std::vector<float> renderFed(sound::Mixer& mixer, const DirectSound& music, int frames) {
    std::vector<float> out;
    for (int done = 0; done < frames; done += 256) {
        for (int wait = 0; wait < 5000 && music.loaded() && music.bufferedFrames() < 4096; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto part = render(mixer, std::min(256, frames - done));
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

TEST(BackgroundMusic, LoopsSweepsSmoothlyResumesAndAFailedLoadKeepsOnlyTheVolume) {
    sound::Mixer mixer(kRate);
    DirectSound music(mixer);
    QString path = levelFile("music.wav", 0.5f, 1350, 13500);  // a tenth of a second
    int32_t freq = 0, f = 27000;
    music.BkgMusicLoad(path, freq);
    EXPECT_EQ(freq, 13500);
    auto out = renderFed(mixer, music, kRate);  // ten times round, without a gap
    EXPECT_NEAR(peak(out, 0), 0.5f, 1e-4);
    EXPECT_GT(*std::min_element(out.begin() + 2, out.end()), 0.49f);
    EXPECT_NEAR(mixer.snapshot(0).position, 0.0, 1e-6);

    // A steady level has no steps of its own: the fastest sweep, 500 a tick between 5500 either
    // side, turning at its ends and moved every tick, must not add any, and reaches both sides.
    out.clear();
    for (int tick = 0; tick < 128; ++tick) {
        int16_t pan = static_cast<int16_t>(std::abs(tick % 44 - 22) * 500 - 5500);
        music.BkgMusicSetPan(pan);
        const auto part = renderFed(mixer, music, kRate / 64);
        out.insert(out.end(), part.begin(), part.end());
    }
    for (int channel : {0, 1})
        EXPECT_LT(largestStep(out, channel), 0.005f) << channel;
    EXPECT_LT(*std::min_element(out.begin(), out.end()), 0.01f);

    int16_t volume = -2000, pan = 10000;
    music.BkgMusicSetVolume(volume);
    music.BkgMusicSetPan(pan);
    music.BkgMusicSetFreq(f);
    out = renderFed(mixer, music, 400);  // past the glide of a few milliseconds
    EXPECT_NEAR(out[2 * 300 + 1], 0.05f, 1e-4);
    EXPECT_EQ(out[2 * 300], 0.0f);
    const double before = mixer.snapshot(0).position;
    music.BkgMusicStop();
    EXPECT_EQ(peak(renderFed(mixer, music, 1000), 1, 300), 0.0f);
    music.BkgMusicPlay();
    renderFed(mixer, music, 480);
    // The position, fractional at this rate, went on from where it stopped, within the file.
    EXPECT_NEAR(std::fmod(before + 270, 1350), mixer.snapshot(0).position, 1e-6);

    music.BkgMusicStop();
    // A file that opens as sound but yields none fails like a missing one.
    QString empty = levelFile("empty.wav", 0, 0, 22050);
    music.BkgMusicLoad(empty, freq);
    EXPECT_FALSE(music.loaded());
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
    music.BkgMusicLoad(path, freq);
    EXPECT_TRUE(music.isSounding());
    EXPECT_EQ(music.BkgMusicGetVolume(), -700);
}

TEST(BackgroundMusic, ALongFileIsHeldInABoundedRingWhoseDecoderSleepsUntilHalfOfItIsFree) {
    // Ten seconds of a twenty-second file, each buffer rendered once the decoder has it. The
    // ring holds a small part of the file, and the decoder thread wakes only when the audio
    // thread has freed half of it: about once per half ring played, not at a timer's pace.
    sound::Mixer mixer(kRate);
    sound::LoopingStream stream;
    ASSERT_TRUE(stream.open(levelFile("long.wav", 0.5f, 20 * 44100, 44100).toStdString()));
    const sound::VoiceId voice = mixer.createVoice();
    mixer.setStream(voice, stream.ring(), stream.rate());
    mixer.play(voice, true);
    const sound::StreamRing& ring = *stream.ring();
    EXPECT_LT(ring.capacity(), 20u * 44100 / 4);
    // Full, and nothing played: the thread sleeps, however long it is left alone.
    for (int wait = 0; wait < 20000 && ring.space() >= 4096; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_LT(ring.space(), 4096u);
    const uint64_t wokenBefore = ring.producerWakeups();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(ring.producerWakeups(), wokenBefore);
    float lowest = 1;
    for (int done = 0; done < 10 * kRate; done += 256) {
        for (int wait = 0; wait < 20000 && ring.available() < 512; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_GE(ring.available(), 512u) << "the decoder was never woken";
        // Time for the decoder to catch up, so that one woken for less than half the ring shows.
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        const auto out = render(mixer, 256);
        lowest = std::min(lowest, *std::min_element(out.begin() + (done ? 0 : 2), out.end()));
    }
    EXPECT_GT(lowest, 0.49f);  // no gap
    const size_t consumed = ring.consumed(), half = ring.capacity() / 2;
    EXPECT_GE(ring.producerWakeups(), consumed / ring.capacity());
    EXPECT_LE(ring.producerWakeups(), consumed / half + 1);
}

// The default music reaching the device is the end-to-end music test's to check.
TEST(SoundSystem, EveryDefaultEffectIsHeardAndStartsWithoutAJump) {
    bool EnableSoundControl = true;
    auto output = std::make_unique<sound::ManualAudioOutput>(kRate, 512);
    sound::ManualAudioOutput& device = *output;
    SoundSystem sounds(std::move(output), EnableSoundControl, [] {});
    int32_t freq = 0;
    sounds.applyDefaults(QStringLiteral(MORVAST_PROGRAM_DIR), freq);
    sounds.music.BkgMusicStop();
    device.render(kRate / 100);  // the music's fade
    for (int i = 0; i < kEffectCount; ++i) {
        const auto which = static_cast<SoundEffect>(i);
        sounds.playSound(which);
        const auto out = device.render(kRate / 2);
        EXPECT_GT(peak(out, 0), 0.05f) << effectInfo(which).fileName;
        EXPECT_LT(std::fabs(out[0]), 0.01f) << effectInfo(which).fileName;
    }
}

}  // namespace
}  // namespace morvast
