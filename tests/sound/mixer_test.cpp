#include "sound/mixer.h"

#include <cmath>
#include <functional>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "media_helpers.h"

namespace morvast::sound {
namespace {

constexpr int kRate = 48000;
using testing::peak;

// The same sample on both channels, given by its frame number.
std::shared_ptr<Wave> waveOf(int64_t frames, int rate, const std::function<float(double)>& at) {
    auto w = std::make_shared<Wave>();
    w->rate = rate;
    for (int64_t i = 0; i < frames; ++i)
        w->samples.insert(w->samples.end(), 2, at(static_cast<double>(i)));
    return w;
}

std::function<float(double)> sine(double hz, int rate) {
    return [=](double i) { return static_cast<float>(0.5 * std::sin(2 * M_PI * hz * i / rate)); };
}

Voice playing(const Wave& w, int32_t frequency = 0, bool looping = false, int16_t volume = 0,
              int16_t pan = 0) {
    return Voice{&w, nullptr, 0, frequency, volume, pan, true, looping};
}

std::vector<float> mix(std::vector<Voice>& voices, int frames) {
    std::vector<float> out(static_cast<size_t>(frames) * 2, 123.0f);  // must be replaced
    mixVoices(voices, out, kRate);
    return out;
}

TEST(Mixer, VolumeAndPanFollowDecibelsAndVoicesSumAndClip) {
    auto half = waveOf(1000, kRate, [](double) { return 0.5f; });
    // Pan 5000 lowers the left by 50 dB and leaves the right; -600 is 6 dB down, and pan -10000
    // silences the right. The effects and music tests check other volumes through their objects.
    for (auto [volume, pan, left, right] : std::vector<std::tuple<int16_t, int16_t, float, float>>{
             {0, 5000, 0.5f * 0.0031623f, 0.5f}, {-600, -10000, 0.5f * 0.50119f, 0.0f}}) {
        std::vector<Voice> v{playing(*half, 0, false, volume, pan)};
        const auto out = mix(v, 100);
        EXPECT_NEAR(out[10], left, 1e-4 * left + 1e-7) << volume << " " << pan;
        EXPECT_NEAR(out[11], right, 1e-4 * right + 1e-7) << volume << " " << pan;
    }
    std::vector<Voice> voices{playing(*half), playing(*half), playing(*half)};
    EXPECT_EQ(mix(voices, 10)[0], 1.0f);
}

TEST(Mixer, FrequencySetsSpeedAndPitchALoopJoinsWithoutGapAndAOneShotStops) {
    // A 441 Hz tone recorded at 22050 Hz plays at its own pitch with frequency 0, and an octave
    // higher at twice its rate, running through the file twice as fast.
    auto wave = waveOf(22050, 22050, sine(441, 22050));
    for (int32_t frequency : {0, 44100}) {
        std::vector<Voice> v{playing(*wave, frequency)};
        const auto out = mix(v, frequency ? kRate / 4 : kRate / 2);
        EXPECT_NEAR(testing::toneHz(out, 0, kRate), frequency ? 882.0 : 441.0, 2.0);
        EXPECT_NEAR(v[0].position, 22050 / 2.0, 1.0);
    }

    // 480 frames hold exactly ten cycles of 1 kHz, so a seamless loop is a steady tone, also at a
    // rate that lands between samples across the join.
    wave = waveOf(480, kRate, sine(1000, kRate));
    std::vector<Voice> v{playing(*wave, 37000, true)};
    v[0].position = 400;
    auto out = mix(v, 4000);
    for (size_t i = 0; i < 4000; ++i)
        ASSERT_NEAR(out[i * 2], sine(1000, kRate)(400 + i * 37000.0 / kRate), 2e-3) << i;

    v = {playing(*wave)};
    EXPECT_EQ(peak(mix(v, 1000), 0, 481), 0.0f);
    EXPECT_FALSE(v[0].playing);
}

TEST(Mixer, StreamWaitsForItsProducerAndEndsWhenTold) {
    StreamRing ring(100);
    std::vector<Voice> v{{nullptr, &ring, 0, 0, 0, 0, true}};
    std::vector<float> frames(60 * 2, 0.5f);
    EXPECT_EQ(ring.write(frames.data(), 60), 60u);
    EXPECT_EQ(ring.write(frames.data(), 60), 40u);  // full: the rest waits
    const auto out = mix(v, 150);
    EXPECT_EQ(out[199], 0.5f);
    EXPECT_EQ(out[200], 0.0f);
    EXPECT_TRUE(v[0].playing);  // fell behind, not finished
    ring.markEnded();
    mix(v, 10);
    EXPECT_FALSE(v[0].playing);
}

TEST(Mixer, AReplacedSoundIsFreedOnceNothingReadsItWhateverTheOtherVoicesHold) {
    // A long-lived looping voice beside one whose short sound is replaced at every pass, as the
    // player's loop does: the replaced sounds must not pile up behind the older voice.
    Mixer mixer(kRate);
    const VoiceId music = mixer.createVoice(), looped = mixer.createVoice();
    mixer.setWave(music, waveOf(kRate, kRate, [](double) { return 0.1f; }));
    mixer.play(music, true);
    std::vector<float> out(256 * 2);
    for (int pass = 0; pass < 300; ++pass) {
        mixer.setWave(looped, waveOf(200, kRate, [](double) { return 0.2f; }));
        mixer.play(looped, false);
        mixer.render(out.data(), 256);
        ASSERT_LE(mixer.retiredCount(), 2u) << pass;
    }
    // A sound cut while it sounds is still read by its fade, and only then let go.
    auto cut = waveOf(kRate, kRate, [](double) { return 0.3f; });
    const std::weak_ptr<const Wave> watch = cut;
    mixer.setWave(looped, std::move(cut));
    mixer.play(looped, false);
    mixer.render(out.data(), 64);
    mixer.setWave(looped, nullptr);
    mixer.render(out.data(), 64);
    EXPECT_FALSE(watch.expired());
    EXPECT_GT(peak(out, 0), 0.35f);  // the fade of the cut sound, over the music
    mixer.render(out.data(), 256);
    EXPECT_EQ(mixer.retiredCount(), 0u);
    EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace morvast::sound
