#include "sound/mixer.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "media_helpers.h"

namespace morvast::sound {
namespace {

constexpr int kRate = 48000;
using testing::peak;

std::shared_ptr<Wave> constantWave(float left, float right, int64_t frames, int rate = kRate) {
    auto w = std::make_shared<Wave>();
    w->rate = rate;
    for (int64_t i = 0; i < frames; ++i) {
        w->samples.push_back(left);
        w->samples.push_back(right);
    }
    return w;
}

std::shared_ptr<Wave> sineWave(double hz, int rate, int64_t frames, float amplitude = 0.5f) {
    auto w = std::make_shared<Wave>();
    w->rate = rate;
    for (int64_t i = 0; i < frames; ++i) {
        const auto x = static_cast<float>(amplitude * std::sin(2 * M_PI * hz * i / rate));
        w->samples.push_back(x);
        w->samples.push_back(x);
    }
    return w;
}

// Each sample is its own frame number / frames, so a sample tells where the voice stood.
std::shared_ptr<Wave> rampWave(int64_t frames) {
    auto w = std::make_shared<Wave>();
    w->rate = kRate;
    for (int64_t i = 0; i < frames; ++i) {
        w->samples.push_back(static_cast<float>(i) / frames);
        w->samples.push_back(static_cast<float>(i) / frames);
    }
    return w;
}

std::vector<float> mixOne(Voice& v, int frames) {
    std::vector<float> out(static_cast<size_t>(frames) * 2, 123.0f);
    mixVoices(std::span(&v, 1), out, kRate);
    return out;
}

TEST(Mixer, VolumeAndPanFollowDecibelUnits) {
    auto wave = constantWave(0.5f, 0.5f, 1000);
    Voice v{wave.get()};
    v.playing = true;
    v.volume = -2000;  // 20 dB down: a tenth of the amplitude
    auto out = mixOne(v, 100);
    EXPECT_NEAR(out[10], 0.05f, 1e-6);
    EXPECT_NEAR(out[11], 0.05f, 1e-6);

    v = Voice{wave.get()};
    v.playing = true;
    v.pan = 5000;  // right untouched, left 50 dB down
    out = mixOne(v, 100);
    EXPECT_NEAR(out[11], 0.5f, 1e-6);
    EXPECT_NEAR(20 * std::log10(out[10] / 0.5f), -50.0, 0.01);

    v = Voice{wave.get()};
    v.playing = true;
    v.pan = -10000;
    v.volume = -600;
    out = mixOne(v, 100);
    EXPECT_NEAR(out[10], 0.5f * std::pow(10.0f, -0.3f), 1e-6);
    EXPECT_EQ(out[11], 0.0f);

    v = Voice{wave.get()};
    v.playing = true;
    v.volume = -10000;
    out = mixOne(v, 100);
    EXPECT_EQ(peak(out, 0), 0.0f);
}

TEST(Mixer, FrequencySetsSpeedAndPitch) {
    // A 441 Hz tone recorded at 22050 Hz plays at its own pitch with frequency 0 ...
    auto wave = sineWave(441, 22050, 22050);
    Voice v{wave.get()};
    v.playing = true;
    auto out = mixOne(v, kRate / 2);
    EXPECT_NEAR(testing::toneHz(out, 0, kRate), 441.0, 1.0);
    EXPECT_NEAR(v.position, 22050 / 2.0, 1.0);
    // ... and an octave higher at twice its rate, running through the file twice as fast.
    v = Voice{wave.get()};
    v.playing = true;
    v.frequency = 44100;
    out = mixOne(v, kRate / 4);
    EXPECT_NEAR(testing::toneHz(out, 0, kRate), 882.0, 2.0);
    EXPECT_NEAR(v.position, 22050 / 2.0, 1.0);
}

TEST(Mixer, LoopJoinsWithoutGapAndOneShotStops) {
    // 480 frames hold exactly ten cycles of 1 kHz, so a seamless loop is a steady tone.
    auto wave = sineWave(1000, kRate, 480);
    Voice v{wave.get()};
    v.playing = true;
    v.looping = true;
    v.position = 400;
    auto out = mixOne(v, 1000);
    for (size_t i = 0; i < 1000; ++i) {
        const double ideal = 0.5 * std::sin(2 * M_PI * 1000 * static_cast<double>(400 + i) / kRate);
        ASSERT_NEAR(out[i * 2], ideal, 1e-4) << "frame " << i;
    }
    EXPECT_TRUE(v.playing);

    // At a rate that does not divide the loop, the join is as smooth as the rest of the tone.
    v = Voice{wave.get()};
    v.playing = true;
    v.looping = true;
    v.frequency = 37000;
    out = mixOne(v, 4000);
    const float maxStep = 2 * M_PI * 1000 * 37000.0 / kRate / kRate * 0.5 * 1.05;
    for (size_t i = 1; i < 4000; ++i)
        ASSERT_LE(std::fabs(out[i * 2] - out[i * 2 - 2]), maxStep);

    v = Voice{wave.get()};
    v.playing = true;
    out = mixOne(v, 1000);
    EXPECT_FALSE(v.playing);
    EXPECT_EQ(peak(out, 0, 481), 0.0f);
}

TEST(Mixer, VoicesSumAndClip) {
    auto a = constantWave(0.25f, 0.25f, 100);
    auto b = constantWave(0.5f, -0.5f, 100);
    auto c = constantWave(0.5f, 0.5f, 100);
    std::vector<Voice> voices{{a.get()}, {b.get()}, {c.get()}};
    voices[0].playing = voices[1].playing = true;
    std::vector<float> out(20);
    mixVoices(voices, out, kRate);
    EXPECT_NEAR(out[0], 0.75f, 1e-6);
    EXPECT_NEAR(out[1], -0.25f, 1e-6);
    voices[2].playing = true;
    mixVoices(voices, out, kRate);
    EXPECT_EQ(out[0], 1.0f);
}

TEST(Mixer, StopKeepsThePositionAndPlayResumes) {
    Mixer mixer(kRate);
    const VoiceId id = mixer.createVoice();
    mixer.setWave(id, rampWave(10000));
    mixer.play(id, false);
    std::vector<float> out(1000 * 2);
    mixer.render(out.data(), 1000);
    mixer.stop(id);
    mixer.render(out.data(), 500);
    EXPECT_EQ(peak(out, 0, 0, 500), 0.0f);
    mixer.play(id, false);
    mixer.render(out.data(), 10);
    EXPECT_NEAR(out[0], 1000.0f / 10000, 1e-6);
    EXPECT_NEAR(out[18], 1009.0f / 10000, 1e-6);
}

TEST(Mixer, StreamWaitsForItsProducerAndEndsWhenTold) {
    StreamRing ring(100);
    Voice v{nullptr, &ring};
    v.playing = true;
    std::vector<float> frames(60 * 2, 0.5f);
    EXPECT_EQ(ring.write(frames.data(), 60), 60u);
    EXPECT_EQ(ring.write(frames.data(), 60), 40u);  // full: the rest waits
    auto out = mixOne(v, 150);
    EXPECT_EQ(out[199], 0.5f);
    EXPECT_EQ(out[200], 0.0f);
    EXPECT_TRUE(v.playing);  // fell behind, not finished
    ring.markEnded();
    mixOne(v, 10);
    EXPECT_FALSE(v.playing);
    EXPECT_EQ(v.position, 100.0);
}

}  // namespace
}  // namespace morvast::sound
