#include "sound/decoder.h"

#include <cmath>
#include <filesystem>
#include <random>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "media_helpers.h"

namespace morvast::sound {
namespace {

using testing::ffmpegMake;
using testing::peak;
using testing::scratchDir;
using testing::tone;

// Every format decodes with its level, pitch, length and channels, and cut in half gives what it
// holds; then the same files, and plain noise, seed a randomised corpus: bytes overwritten (the
// header often among them) and cut at random. Under the sanitizers any fault in the decoding path
// shows; here every outcome must be a clean refusal or finite sound.
TEST(Decoder, DecodesEveryFormatWholeOrCutAndSurvivesDamageToIt) {
    std::mt19937 rng(20261206);
    std::vector<std::vector<uint8_t>> seeds{std::vector<uint8_t>(4096)};
    for (auto& b : seeds[0])
        b = static_cast<uint8_t>(rng());
    // Codec: ffmpeg encoder options. Compressed formats add decoder delay and padding; PCM must
    // come out exact.
    struct Format {
        const char *file, *codec;
        int rate, channels, lengthSlackMs;
        double levelSlack;
    };
    for (const Format& f : {Format{"u8.wav", "pcm_u8", 11025, 1, 0, 0.01},
                            Format{"s16.wav", "pcm_s16le", 22050, 2, 0, 0.001},
                            Format{"s24.wav", "pcm_s24le", 44100, 1, 0, 0.001},
                            Format{"f32.wav", "pcm_f32le", 48000, 2, 0, 0.001},
                            Format{"ima.wav", "adpcm_ima_wav", 22050, 1, 60, 0.03},
                            Format{"ms.wav", "adpcm_ms", 8000, 2, 150, 0.03},
                            Format{"s.mp3", "libmp3lame -b:a 128k", 44100, 2, 60, 0.03},
                            Format{"s.mp2", "mp2 -b:a 192k", 48000, 2, 60, 0.03},
                            Format{"s.wma", "wmav2 -b:a 128k", 44100, 2, 120, 0.04}}) {
        SCOPED_TRACE(f.file);
        const std::string path = scratchDir() + "/" + f.file;
        ASSERT_TRUE(ffmpegMake(tone(f.rate, f.channels, 1) + " -c:a " + f.codec, path));
        std::string error;
        auto wave = decodeFile(path, &error);
        ASSERT_TRUE(wave) << error;
        EXPECT_EQ(wave->rate, f.rate);
        EXPECT_NEAR(wave->frames() * 1000.0 / f.rate, 1000.0, f.lengthSlackMs);
        // A mono file sounds at its own level on both sides; the right's level tells the order.
        const bool mono = f.channels == 1;
        EXPECT_NEAR(testing::toneHz(wave->samples, 0, f.rate), 440.0, 3.0);
        EXPECT_NEAR(peak(wave->samples, 0), 0.5, f.levelSlack);
        EXPECT_NEAR(peak(wave->samples, 1), mono ? 0.5 : 0.25, f.levelSlack);
        // Cut in half, the file still gives what it holds.
        auto bytes = testing::readBytes(path);
        seeds.push_back(bytes);
        bytes.resize(bytes.size() / 2);
        testing::writeBytes(path, bytes);
        wave = decodeFile(path);
        ASSERT_TRUE(wave);
        EXPECT_NEAR(wave->frames(), f.rate / 2.0, f.rate / 4.0);
    }
    int refused = 0;
    for (size_t round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes = seeds[round % seeds.size()];
        for (auto k = rng() % 40; k-- > 0;)
            bytes[rng() % 2 ? rng() % 64 : rng() % bytes.size()] = static_cast<uint8_t>(rng());
        if (rng() % 2) bytes.resize(rng() % bytes.size());
        std::string error;
        auto wave = decodeMemory(bytes, &error);
        ASSERT_TRUE(wave || !error.empty());  // a refusal says why
        refused += !wave;
        if (!wave) continue;
        ASSERT_TRUE(wave->frames() > 0 && wave->rate > 0);
        for (float x : wave->samples)
            ASSERT_TRUE(std::isfinite(x));
    }
    // Both outcomes occur, so the corpus really reaches the decoders and the refusals.
    EXPECT_GT(300 - refused, 20);
    EXPECT_GT(refused, 20);
}

TEST(Decoder, ConvertsAnyRateToTheOutputRateInFull) {
    // A hundred samples a second: every input frame becomes hundreds of output frames, handed
    // out piece by piece; none may be lost on the way, and the level stays.
    const std::string path = scratchDir() + "/slow.wav";
    testing::writeWave(path, std::vector<float>(200, 0.5f), 100);
    AudioDecoder decoder;
    ASSERT_TRUE(decoder.open(path, 48000));
    std::vector<float> out(1000 * 2);
    int64_t total = 0;
    float middle = 0;
    for (int64_t got; (got = decoder.read(out.data(), 1000)) > 0; total += got) {
        if (total == 48000) middle = out[1];
    }
    EXPECT_NEAR(total, 96000, 2400);
    EXPECT_NEAR(middle, 0.5f, 0.01f);
}

TEST(Decoder, RefusesWhatHoldsNoSoundWithoutWaiting) {
    const std::string dir = scratchDir();
    const std::string text = "This is not a sound, only a line of text.\n";
    testing::writeBytes(dir + "/notes.mp3", {text.begin(), text.end()});
    testing::writeBytes(dir + "/empty.wav", {});
    testing::writeWave(dir + "/header.wav", {}, 8000);  // probes fine but yields nothing
    testing::writeWave(dir + "/good.wav", std::vector<float>(800, 0.5f), 8000);
    // A damaged header can claim any rate; converting from hundreds of megahertz would take
    // gigabytes of filter, so such a file is refused.
    testing::writeWave(dir + "/fast.wav", std::vector<float>(4000, 0.5f), 757080896);
    // A name FFmpeg would take for another protocol stays a plain (here missing) file name.
    const std::string concat = "concat:" + dir + "/good.wav|" + dir + "/good.wav";
    // A FIFO, a device and a folder are refused before a byte is read from them. Should a read
    // wait on the FIFO, the alarm ends the test instead of letting it hang.
    const std::string fifo = dir + "/pipe.wav", zero = "/dev/zero";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    alarm(120);
    for (const std::string& bad :
         {dir + "/missing.wav", dir + "/empty.wav", dir + "/notes.mp3", dir + "/header.wav",
          dir + "/fast.wav", concat, fifo, zero, dir}) {
        std::string error;
        EXPECT_FALSE(decodeFile(bad, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
        EXPECT_EQ(error == kNotAFile, bad == fifo || bad == zero || bad == dir) << bad;
    }
    alarm(0);
    EXPECT_FALSE(AudioDecoder().open(dir + "/fast.wav", 48000));
}

TEST(Decoder, BoundsWhatItHoldsAndWhatItReadsBeyondTheSound) {
    namespace fs = std::filesystem;
    const std::string dir = scratchDir();
    // Two seconds at 8 kHz hold 128000 bytes once decoded: refused above a bound below that,
    // while decoding, or at once when the header tells a length far beyond it.
    testing::writeWave(dir + "/two.wav", std::vector<float>(16000, 0.5f), 8000);
    for (auto [bound, kept] : {std::pair{200000, true}, {100000, false}, {20000, false}}) {
        std::string error;
        EXPECT_EQ(decodeFile(dir + "/two.wav", &error, bound) != nullptr, kept) << bound;
        if (!kept) {
            EXPECT_EQ(error, "File too large") << bound;
        }
    }
    // A 256 MiB wave, as a sparse file: over the bound of a whole sound.
    const std::string big = dir + "/big.wav";
    testing::writeWave(big, {}, 22050, 256u << 20);
    EXPECT_FALSE(decodeFile(big));

    // An MP3 followed by 64 MiB of zeros ends where its sound ends, and gigabytes of zeros named
    // as MP3 are refused after a bounded look at them.
    const std::string tail = dir + "/tail.mp3", zeros = dir + "/zeros.mp3";
    ASSERT_TRUE(ffmpegMake(tone(44100, 2, 1), tail));
    const auto soundBytes = static_cast<int64_t>(fs::file_size(tail));
    fs::resize_file(tail, fs::file_size(tail) + (64u << 20));
    testing::writeBytes(zeros, {});
    fs::resize_file(zeros, uintmax_t{2} << 30);
    AudioDecoder decoder;
    ASSERT_TRUE(decoder.open(tail));
    std::vector<float> out(4096 * 2);
    int64_t frames = 0;
    for (int64_t got; (got = decoder.read(out.data(), 4096)) > 0;)
        frames += got;
    EXPECT_NEAR(frames, 44100, 4410);
    EXPECT_LT(decoder.bytesRead(), soundBytes + kMaxUndecodableBytes + (1 << 20));
    std::string error;
    EXPECT_FALSE(decodeFile(zeros, &error));
    if (decoder.open(zeros)) {
        while (decoder.read(out.data(), 4096) > 0) {
        }
    }
    EXPECT_LT(decoder.bytesRead(), 2 * kMaxUndecodableBytes);
}

}  // namespace
}  // namespace morvast::sound
