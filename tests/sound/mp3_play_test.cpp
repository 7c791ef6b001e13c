#include "sound/mp3_play.h"

#include <thread>

#include <gtest/gtest.h>

#include "media_helpers.h"
#include "sound/audio_output.h"

namespace morvast {
namespace {

constexpr int kRate = 48000;

TEST(MP3Position, MinutesAndSecondsRoundHalfToEven) {
    const std::pair<int, const char*> shown[] = {
        {400, "0:00"},    {2500, "0:02"},    {3500, "0:04"},     {59499, "0:59"},
        {59500, "01:00"}, {187000, "03:07"}, {6000000, "100:00"}};
    for (auto [ms, text] : shown)
        EXPECT_EQ(formatPosition(ms).toStdString(), text) << ms;
}

struct Player : ::testing::Test {
    sound::ManualAudioOutput device{kRate, 512};
    sound::Mixer mixer{kRate};
    bool forgotten = false;
    MP3Play player{mixer, [this] { forgotten = true; }};

    void SetUp() override {
        device.start([this](float* out, int frames) { mixer.render(out, frames); });
    }
    void TearDown() override { EXPECT_FALSE(forgotten); }

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

TEST_F(Player, PlaysEveryCompressedFormatToItsEndAndSeeks) {
    for (const char* file : {"one.mp3", "one.mp2", "one.wma"}) {
        SCOPED_TRACE(file);
        const std::string path = testing::scratchDir() + "/" + file;
        ASSERT_TRUE(testing::ffmpegMake(testing::tone(44100, 2, 1.7), path));
        player.FileName(QString::fromStdString(path));
        EXPECT_EQ(player.mmPlay(), "Success");
        EXPECT_EQ(player.Position(), "0:00");
        const auto heard = playToEnd();
        EXPECT_FALSE(player.IsPlaying());
        EXPECT_NEAR(testing::peak(heard, 0), 0.5f, 0.05f);
        EXPECT_NEAR(testing::toneHz(heard, 1, kRate), 660.0, 3.0);
        EXPECT_EQ(player.Position(), "0:02");  // resting at the end

        // A seek after the end plays again from there.
        player.SeekTo(1000);
        EXPECT_EQ(player.Position(), "0:01");
        EXPECT_NEAR(playToEnd().size() / 2.0, 0.7 * kRate, 0.1 * kRate);
        player.SeekTo(0);
        EXPECT_TRUE(player.IsPlaying());
        EXPECT_EQ(player.mmStop(), "");
        EXPECT_FALSE(player.IsPlaying());
        EXPECT_EQ(player.Position(), "");
    }
}

TEST_F(Player, ReportsFailuresInItsOwnWords) {
    EXPECT_EQ(player.mmStop(), "");  // nothing open: no effect
    player.SeekTo(0);
    EXPECT_FALSE(player.IsPlaying());
    // Bytes that are no sound, and a wave that opens but holds none, get the decoder's own text;
    // no file at all gets the player's.
    const std::string dir = testing::scratchDir();
    testing::writeBytes(dir + "/text.mp3", std::vector<uint8_t>(1000, 'x'));
    testing::writeWave(dir + "/empty.wav", {}, 8000);
    for (const std::string& path :
         {dir + "/text.mp3", dir + "/empty.wav", std::string("/nonexistent/song.mp3"), dir}) {
        player.FileName(QString::fromStdString(path));
        const QString result = player.mmPlay();
        EXPECT_EQ(result == "Error with input file", !path.starts_with(dir + "/")) << path;
        EXPECT_FALSE(result.isEmpty() || result == "Success") << path;
        EXPECT_FALSE(player.IsPlaying()) << path;
        EXPECT_EQ(player.FileName().toStdString(), path);  // refused, not forgotten
    }
}

}  // namespace
}  // namespace morvast
