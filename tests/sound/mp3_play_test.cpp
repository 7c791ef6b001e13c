#include "sound/mp3_play.h"

#include <thread>

#include <gtest/gtest.h>

#include "media_helpers.h"
#include "sound/audio_output.h"

namespace morvast {
namespace {

constexpr int kRate = 48000;

TEST(MP3Position, MinutesAndSecondsRoundHalfToEven) {
    EXPECT_EQ(formatPosition(400), "0:00");
    EXPECT_EQ(formatPosition(7000), "0:07");
    EXPECT_EQ(formatPosition(2500), "0:02");
    EXPECT_EQ(formatPosition(3500), "0:04");
    EXPECT_EQ(formatPosition(59499), "0:59");
    EXPECT_EQ(formatPosition(59500), "01:00");
    EXPECT_EQ(formatPosition(187000), "03:07");
    EXPECT_EQ(formatPosition(765000), "12:45");
    EXPECT_EQ(formatPosition(6000000), "100:00");
}

struct Player : ::testing::Test {
    sound::ManualAudioOutput device{kRate, 512};
    sound::Mixer mixer{kRate};
    bool forgotten = false;
    MP3Play player{mixer, [this] { forgotten = true; }};

    void SetUp() override {
        device.start([this](float* out, int frames) { mixer.render(out, frames); });
    }

    // Plays until the file ends, as the device would but without waiting for real time: each
    // buffer waits for the decoder, so nothing is lost to a slow machine. Returns the sound.
    std::vector<float> playToEnd() {
        std::vector<float> heard;
        for (int round = 0; round < 200000 && player.IsPlaying(); ++round) {
            if (player.bufferedFrames() < 512) {
                std::this_thread::sleep_for(std::chrono::microseconds(100));
                continue;
            }
            const auto out = device.render(512);
            heard.insert(heard.end(), out.begin(), out.end());
        }
        return heard;
    }
};

TEST_F(Player, PlaysEveryCompressedFormatToItsEnd) {
    for (const char* file : {"one.mp3", "one.mp2", "one.wma"}) {
        const std::string path = testing::scratchDir() + "/" + file;
        ASSERT_TRUE(testing::ffmpegMake(
            "-f lavfi -i \"aevalsrc=0.5*sin(2*PI*440*t)|0.5*sin(2*PI*440*t):s=44100:d=1.7\"",
            path));
        player.FileName(QString::fromStdString(path));
        EXPECT_EQ(player.mmPlay(), "Success") << file;
        EXPECT_TRUE(player.IsPlaying());
        EXPECT_EQ(player.Position(), "0:00");
        const auto heard = playToEnd();
        EXPECT_FALSE(player.IsPlaying()) << file;
        EXPECT_NEAR(testing::peak(heard, 0), 0.5f, 0.05f) << file;
        EXPECT_NEAR(testing::toneHz(heard, 1, kRate), 440.0, 3.0) << file;
        // The position rests at the end.
        EXPECT_EQ(player.Position(), "0:02") << file;

        // Starting over after the end plays the file again from its beginning.
        player.SeekTo(0);
        EXPECT_TRUE(player.IsPlaying());
        EXPECT_EQ(player.Position(), "0:00");
        EXPECT_NEAR(playToEnd().size() / 2.0, heard.size() / 2.0, 512) << file;
        EXPECT_EQ(player.mmStop(), "");
        EXPECT_FALSE(player.IsPlaying());
        EXPECT_EQ(player.Position(), "");
    }
    EXPECT_FALSE(forgotten);
}

TEST_F(Player, SeekToAMomentPlaysFromThere) {
    const std::string path = testing::scratchDir() + "/long.mp3";
    ASSERT_TRUE(
        testing::ffmpegMake("-f lavfi -i \"aevalsrc=0.5*sin(2*PI*440*t):s=44100:d=5\"", path));
    player.FileName(QString::fromStdString(path));
    ASSERT_EQ(player.mmPlay(), "Success");
    player.SeekTo(3000);
    EXPECT_EQ(player.Position(), "0:03");
    const auto rest = playToEnd();
    EXPECT_NEAR(rest.size() / 2.0, 2.0 * kRate, 0.1 * kRate);
}

TEST_F(Player, ReportsFailuresInItsOwnWords) {
    EXPECT_EQ(player.mmStop(), "");  // nothing open: no effect
    EXPECT_FALSE(player.IsPlaying());
    player.SeekTo(0);
    EXPECT_FALSE(player.IsPlaying());

    player.FileName(QStringLiteral("/nonexistent/song.mp3"));
    EXPECT_EQ(player.mmPlay(), "Error with input file");
    player.FileName(QString::fromStdString(testing::scratchDir()));
    EXPECT_EQ(player.mmPlay(), "Error with input file");

    const std::string dir = testing::scratchDir();
    const std::string text = "Not music at all, just a few words in a file.\n";
    testing::writeBytes(dir + "/words.mp3", std::vector<uint8_t>(text.begin(), text.end()));
    std::vector<uint8_t> noise(50000);
    uint32_t x = 12345;
    for (auto& b : noise)
        b = static_cast<uint8_t>((x = x * 1103515245 + 12345) >> 16);
    testing::writeBytes(dir + "/noise.mp3", noise);
    testing::writeBytes(dir + "/empty.wma", {});
    for (const char* bad : {"words.mp3", "noise.mp3", "empty.wma"}) {
        player.FileName(QString::fromStdString(dir + "/" + bad));
        const QString result = player.mmPlay();
        EXPECT_FALSE(result.isEmpty()) << bad;
        EXPECT_NE(result, "Success") << bad;
        EXPECT_NE(result, "Error with input file") << bad;
        EXPECT_FALSE(player.IsPlaying()) << bad;
        // An undecodable file is refused, not forgotten.
        EXPECT_EQ(player.FileName().toStdString(), dir + "/" + bad);
    }
    EXPECT_FALSE(forgotten);
}

}  // namespace
}  // namespace morvast
