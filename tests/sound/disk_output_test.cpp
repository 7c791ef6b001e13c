// The whole chain on a real SDL driver: the "disk" driver writes what the device would play
// into a file, which must hold the background music.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "media_helpers.h"

namespace {

TEST(DiskOutput, SmokeProgramWritesAudibleMusic) {
    const std::string file = morvast::testing::scratchDir() + "/disk.raw";
    const std::string command = "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + file + "' '" +
                                std::string(MORVAST_SOUND_SMOKE) + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[256] = {};
    const bool said = std::fgets(line, sizeof line, pipe) != nullptr;
    const int status = pclose(pipe);
    ASSERT_TRUE(said);
    ASSERT_EQ(status, 0) << line;
    ASSERT_EQ(std::string(line).rfind("output sdl:disk ", 0), 0u) << line;

    // The device was opened as float stereo, which the disk driver writes unchanged.
    const auto bytes = morvast::testing::readBytes(file);
    const size_t frames = bytes.size() / (2 * sizeof(float));
    int rate = 0;
    ASSERT_EQ(std::sscanf(line, "output sdl:disk rate %d", &rate), 1) << line;
    ASSERT_GT(frames, static_cast<size_t>(rate));  // most of the two seconds
    const auto* samples = reinterpret_cast<const float*>(bytes.data());
    double sum[2] = {0, 0};
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
            const float x = samples[i * 2 + static_cast<size_t>(c)];
            ASSERT_TRUE(std::isfinite(x));
            sum[c] += static_cast<double>(x) * x;
        }
    }
    for (int c = 0; c < 2; ++c)
        EXPECT_GT(std::sqrt(sum[c] / frames), 0.01) << "channel " << c;
}

}  // namespace
