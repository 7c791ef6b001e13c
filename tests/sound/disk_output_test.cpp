// The whole chain on a real SDL driver: the "disk" driver writes what the device would play
// into a file, which must hold the background music.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "media_helpers.h"

namespace {

// First line of the smoke program's output and its exit status, under the given environment.
std::pair<std::string, int> runSmoke(const std::string& environment) {
    FILE* pipe = popen((environment + " '" + MORVAST_SOUND_SMOKE + "' 2>/dev/null").c_str(), "r");
    if (!pipe) return {"", -1};
    char line[256] = {};
    if (!std::fgets(line, sizeof line, pipe)) line[0] = 0;
    return {line, pclose(pipe)};
}

TEST(DiskOutput, NoDeviceRunsSilently) {
    // SDL itself cannot start here: the program goes on without sound and without failing.
    const auto [line, status] = runSmoke("SDL_AUDIODRIVER=no-such-driver");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(line.rfind("output null ", 0), 0u) << line;
}

TEST(DiskOutput, SmokeProgramWritesAudibleMusic) {
    const std::string file = morvast::testing::scratchDir() + "/disk.raw";
    const auto [line, status] = runSmoke("SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + file + "'");
    ASSERT_EQ(status, 0) << line;
    ASSERT_EQ(line.rfind("output sdl:disk ", 0), 0u) << line;

    // The device was opened as float stereo, which the disk driver writes unchanged.
    const auto bytes = morvast::testing::readBytes(file);
    const size_t frames = bytes.size() / (2 * sizeof(float));
    int rate = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "output sdl:disk rate %d", &rate), 1) << line;
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
