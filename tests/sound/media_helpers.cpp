#include "media_helpers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace morvast::testing {

namespace {

struct ScratchDir {
    std::filesystem::path path;
    ScratchDir() {
        char pattern[] = "/tmp/morvast-sound-XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made ? made : "/tmp";
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (path != "/tmp") std::filesystem::remove_all(path, ignored);
    }
};

void put(std::ofstream& f, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        f.put(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

std::string scratchDir() {
    static ScratchDir dir;
    return dir.path.string();
}

bool ffmpegMake(const std::string& args, const std::string& out) {
    std::filesystem::remove(out);
    const std::string command =
        std::string(MORVAST_FFMPEG) + " -nostdin -y -loglevel error " + args + " '" + out + "'";
    return std::system(command.c_str()) == 0 && std::filesystem::exists(out);
}

void writeWave(const std::string& path, const std::vector<float>& samples, int channels, int rate) {
    std::ofstream f(path, std::ios::binary);
    const auto bytes = static_cast<uint32_t>(samples.size() * 2);
    f.write("RIFF", 4);
    put(f, 36 + bytes, 4);
    f.write("WAVEfmt ", 8);
    put(f, 16, 4);
    put(f, 1, 2);
    put(f, static_cast<uint32_t>(channels), 2);
    put(f, static_cast<uint32_t>(rate), 4);
    put(f, static_cast<uint32_t>(rate * channels * 2), 4);
    put(f, static_cast<uint32_t>(channels * 2), 2);
    put(f, 16, 2);
    f.write("data", 4);
    put(f, bytes, 4);
    for (float x : samples) {
        const auto v =
            static_cast<int16_t>(std::lround(std::fmax(-1.0f, std::fmin(1.0f, x)) * 32767));
        put(f, static_cast<uint16_t>(v), 2);
    }
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

float peak(const std::vector<float>& stereo, int channel, size_t from, size_t to) {
    float top = 0;
    const size_t frames = stereo.size() / 2;
    for (size_t i = from; i < std::min(to, frames); ++i) {
        top = std::fmax(top, std::fabs(stereo[i * 2 + static_cast<size_t>(channel)]));
    }
    return top;
}

double toneHz(const std::vector<float>& stereo, int channel, int rate) {
    // Crossings count only between clear swings, so the quiet noise that codecs leave at the
    // edges of a file does not add false ones.
    const float threshold = 0.2f * peak(stereo, channel);
    const size_t frames = stereo.size() / 2;
    long first = -1, last = -1, crossings = 0;
    bool low = false;
    for (size_t i = 0; i < frames; ++i) {
        const float x = stereo[i * 2 + static_cast<size_t>(channel)];
        if (x < -threshold) low = true;
        if (low && x > threshold) {
            low = false;
            if (first < 0) first = static_cast<long>(i);
            last = static_cast<long>(i);
            ++crossings;
        }
    }
    if (crossings < 2) return 0;
    return static_cast<double>(crossings - 1) * rate / static_cast<double>(last - first);
}

}  // namespace morvast::testing
