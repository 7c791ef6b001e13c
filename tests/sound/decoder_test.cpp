#include "sound/decoder.h"

#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "media_helpers.h"

namespace morvast::sound {
namespace {

using testing::ffmpegMake;
using testing::peak;
using testing::scratchDir;
using testing::toneHz;

struct Format {
    const char* name;
    const char* file;
    const char* codec;  // encoder options for ffmpeg
    int rate;
    int channels;
    // Compressed formats add decoder delay and padding; PCM must come out exact.
    int lengthSlackMs;
    double levelSlack;
};

void PrintTo(const Format& f, std::ostream* os) {
    *os << f.name;
}

// Left 0.5 at 440 Hz, right (when stereo) 0.25 at 660 Hz, one second long.
std::string source(int rate, int channels) {
    const std::string expr =
        channels == 1 ? "0.5*sin(2*PI*440*t)" : "0.5*sin(2*PI*440*t)|0.25*sin(2*PI*660*t)";
    return "-f lavfi -i \"aevalsrc=" + expr + ":s=" + std::to_string(rate) + ":d=1\"";
}

class EveryFormat : public ::testing::TestWithParam<Format> {};

TEST_P(EveryFormat, DecodesLevelPitchLengthAndChannels) {
    const Format& f = GetParam();
    const std::string path = scratchDir() + "/" + f.name + f.file;
    ASSERT_TRUE(ffmpegMake(source(f.rate, f.channels) + " " + f.codec, path));

    std::string error;
    auto wave = decodeFile(path, &error);
    ASSERT_TRUE(wave) << error;
    EXPECT_EQ(wave->rate, f.rate);
    EXPECT_NEAR(wave->frames() * 1000.0 / f.rate, 1000.0, f.lengthSlackMs);
    const auto& s = wave->samples;
    EXPECT_NEAR(toneHz(s, 0, f.rate), 440.0, 3.0);
    EXPECT_NEAR(peak(s, 0), 0.5, f.levelSlack);
    if (f.channels == 1) {
        // A mono file sounds at its own level on both sides.
        EXPECT_NEAR(peak(s, 1), 0.5, f.levelSlack);
        for (size_t i = 0; i < s.size(); i += 2)
            ASSERT_EQ(s[i], s[i + 1]);
    } else {
        EXPECT_NEAR(toneHz(s, 1, f.rate), 660.0, 3.0);
        EXPECT_NEAR(peak(s, 1), 0.25, f.levelSlack);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sound, EveryFormat,
    ::testing::Values(Format{"u8", ".wav", "-c:a pcm_u8", 11025, 1, 0, 0.01},
                      Format{"s16", ".wav", "-c:a pcm_s16le", 22050, 2, 0, 0.001},
                      Format{"s24", ".wav", "-c:a pcm_s24le", 44100, 1, 0, 0.001},
                      Format{"f32", ".wav", "-c:a pcm_f32le", 48000, 2, 0, 0.001},
                      Format{"ima", ".wav", "-c:a adpcm_ima_wav", 22050, 1, 60, 0.03},
                      Format{"msadpcm", ".wav", "-c:a adpcm_ms", 8000, 2, 150, 0.03},
                      Format{"mp3", ".mp3", "-c:a libmp3lame -b:a 128k", 44100, 2, 60, 0.03},
                      Format{"mp3mono", ".mp3", "-c:a libmp3lame -b:a 64k", 22050, 1, 80, 0.03},
                      Format{"mp2", ".mp2", "-c:a mp2 -b:a 192k", 48000, 2, 60, 0.03},
                      Format{"wma", ".wma", "-c:a wmav2 -b:a 128k", 44100, 2, 120, 0.04}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Decoder, ConvertsAnyRateToTheOutputRateInFull) {
    // A hundred samples a second: every input frame becomes hundreds of times as many output
    // frames, handed out piece by piece; none may be lost on the way, and the level stays.
    const std::string path = scratchDir() + "/slow.wav";
    testing::writeWave(path, std::vector<float>(200, 0.5f), 1, 100);
    AudioDecoder decoder;
    ASSERT_TRUE(decoder.open(path, 48000));
    std::vector<float> out(1000 * 2);
    int64_t total = 0;
    float middle = 0;
    for (int64_t got; (got = decoder.read(out.data(), 1000)) > 0;) {
        if (total < 48000 && total + got >= 48000) middle = out[(48000 - total) * 2 - 1];
        total += got;
    }
    EXPECT_NEAR(total, 96000, 2400);
    EXPECT_NEAR(middle, 0.5f, 0.01f);

    // Back to the start: the same sound again.
    ASSERT_TRUE(decoder.seekMs(0));
    EXPECT_EQ(decoder.read(out.data(), 1000), 1000);
    EXPECT_NEAR(out[1999], 0.5f, 0.02f);
}

TEST(Decoder, BadFilesFailCleanly) {
    const std::string dir = scratchDir();
    std::string error;
    EXPECT_FALSE(decodeFile(dir + "/missing.wav", &error));
    EXPECT_FALSE(error.empty());

    testing::writeBytes(dir + "/empty.wav", {});
    error.clear();
    EXPECT_FALSE(decodeFile(dir + "/empty.wav", &error));
    EXPECT_FALSE(error.empty());

    const std::string text = "This is not a sound, only a line of text.\n";
    testing::writeBytes(dir + "/notes.mp3", std::vector<uint8_t>(text.begin(), text.end()));
    EXPECT_FALSE(decodeFile(dir + "/notes.mp3", &error));

    EXPECT_FALSE(decodeFile(dir, &error));  // a folder

    // A wave header with no samples probes fine but yields nothing.
    testing::writeWave(dir + "/header.wav", {}, 1, 8000);
    error.clear();
    EXPECT_FALSE(decodeFile(dir + "/header.wav", &error));
    EXPECT_EQ(error, "Invalid data found when processing input");

    // A damaged header can claim any rate; converting from hundreds of megahertz would take
    // gigabytes of filter, so such a file is refused.
    testing::writeWave(dir + "/fast.wav", std::vector<float>(4000, 0.5f), 1, 757080896);
    EXPECT_FALSE(decodeFile(dir + "/fast.wav", &error));
    AudioDecoder decoder;
    EXPECT_FALSE(decoder.open(dir + "/fast.wav", 48000));

    // A name that FFmpeg would otherwise take for another protocol stays a plain file name.
    EXPECT_FALSE(decodeFile("concat:" + dir + "/header.wav|" + dir + "/header.wav", &error));
}

TEST(Decoder, TruncatedFilesDecodeWhatTheyHold) {
    const std::string dir = scratchDir();
    for (const char* name : {"cut.wav", "cut.mp3"}) {
        const std::string full = dir + "/full-" + name;
        const std::string codec = std::string(name).ends_with(".wav") ? "-c:a pcm_s16le" : "";
        ASSERT_TRUE(ffmpegMake(source(44100, 2) + " " + codec, full));
        auto bytes = testing::readBytes(full);
        bytes.resize(bytes.size() / 2);
        testing::writeBytes(dir + "/" + name, bytes);
        std::string error;
        auto wave = decodeFile(dir + "/" + name, &error);
        ASSERT_TRUE(wave) << name << ": " << error;
        EXPECT_GT(wave->frames(), 44100 / 4) << name;
        EXPECT_LT(wave->frames(), 44100 * 3 / 4) << name;
    }
}

// A randomised corpus over the decoder: valid files of every kind, damaged by flipped bits,
// overwritten runs, cuts and random bytes. Run under the sanitizers, any fault in the decoder
// path shows; here every outcome must be a clean failure or finite sound.
TEST(Decoder, SurvivesDamagedInput) {
    const std::string dir = scratchDir();
    std::vector<std::vector<uint8_t>> seeds;
    const std::pair<const char*, const char*> kinds[] = {
        {"s.wav", "-c:a pcm_s16le"},  {"a.wav", "-c:a adpcm_ima_wav"}, {"m.wav", "-c:a adpcm_ms"},
        {"s.mp3", "-c:a libmp3lame"}, {"s.mp2", "-c:a mp2"},           {"s.wma", "-c:a wmav2"}};
    for (const auto& [file, codec] : kinds) {
        const std::string path = dir + "/seed-" + file;
        ASSERT_TRUE(ffmpegMake(
            "-f lavfi -i \"aevalsrc=0.5*sin(2*PI*440*t):s=22050:d=0.3\" " + std::string(codec),
            path));
        seeds.push_back(testing::readBytes(path));
    }
    std::mt19937 rng(20261206);
    int decoded = 0, refused = 0;
    for (int round = 0; round < 240; ++round) {
        std::vector<uint8_t> bytes = seeds[static_cast<size_t>(round) % seeds.size()];
        switch (rng() % 5) {
            case 0:
                for (int k = 0; k < 20; ++k)
                    bytes[rng() % bytes.size()] ^= 1u << (rng() % 8);
                break;
            case 1: {
                const size_t at = rng() % bytes.size();
                for (size_t i = at; i < std::min(bytes.size(), at + 64); ++i)
                    bytes[i] = rng();
                break;
            }
            case 2:
                bytes.resize(rng() % bytes.size());
                break;
            case 3:
                for (size_t i = 0; i < std::min<size_t>(bytes.size(), 40); ++i)
                    bytes[i] = rng();
                break;
            default:
                bytes.assign(rng() % 4096, 0);
                for (auto& b : bytes)
                    b = static_cast<uint8_t>(rng());
        }
        std::string error;
        auto wave = decodeMemory(bytes, &error);
        if (!wave) {
            ASSERT_FALSE(error.empty());
            ++refused;
            continue;
        }
        ++decoded;
        ASSERT_GT(wave->frames(), 0);
        ASSERT_GT(wave->rate, 0);
        for (float x : wave->samples)
            ASSERT_TRUE(std::isfinite(x));
    }
    // Both outcomes occur, so the corpus really reaches the decoders and the refusals.
    EXPECT_GT(decoded, 20);
    EXPECT_GT(refused, 20);
}

}  // namespace
}  // namespace morvast::sound
