// The whole chain on real SDL drivers: the "disk" driver writes what the device would play into
// a file, which must hold the background music.

#include <cstdio>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "media_helpers.h"

namespace {

// First line of the smoke program's output and its exit status, under the given environment.
std::pair<std::string, int> runSmoke(const std::string& environment) {
    FILE* pipe = popen((environment + " '" + MORVAST_SOUND_SMOKE + "' 2>/dev/null").c_str(), "r");
    char line[256] = {};
    if (!pipe) return {"", -1};
    if (!std::fgets(line, sizeof line, pipe)) line[0] = 0;
    return {line, pclose(pipe)};
}

TEST(DiskOutput, MusicIsWrittenAndNoDeviceIsNoFailure) {
    const auto [none, noneStatus] = runSmoke("SDL_AUDIODRIVER=no-such-driver");
    EXPECT_EQ(noneStatus, 0);
    EXPECT_TRUE(none.starts_with("output null ")) << none;

    const std::string file = morvast::testing::scratchDir() + "/disk.raw";
    const auto [line, status] = runSmoke("SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + file + "'");
    int rate = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "output sdl:disk rate %d", &rate), 1) << line;
    EXPECT_EQ(status, 0);
    // The device was opened as float stereo, which the disk driver writes unchanged.
    const auto bytes = morvast::testing::readBytes(file);
    const auto* begin = reinterpret_cast<const float*>(bytes.data());
    const std::vector<float> samples(begin, begin + bytes.size() / sizeof(float));
    EXPECT_GT(samples.size() / 2, static_cast<size_t>(rate));  // most of the two seconds
    EXPECT_GT(morvast::testing::peak(samples, 0), 0.05f);
    EXPECT_GT(morvast::testing::peak(samples, 1), 0.05f);
}

}  // namespace
