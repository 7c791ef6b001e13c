#include "media_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <QTemporaryDir>

namespace morvast::testing {

std::string scratchDir() {
    static const QTemporaryDir dir(QStringLiteral("/tmp/morvast-sound-XXXXXX"));
    return dir.path().toStdString();
}

std::string tone(int rate, int channels, double seconds) {
    return "-f lavfi -i \"aevalsrc=0.5*sin(2*PI*440*t)" +
           std::string(channels == 1 ? "" : "|0.25*sin(2*PI*660*t)") +
           ":s=" + std::to_string(rate) + ":d=" + std::to_string(seconds) + "\"";
}

bool ffmpegMake(const std::string& args, const std::string& out) {
    std::filesystem::remove(out);
    const std::string command =
        std::string(MORVAST_FFMPEG) + " -nostdin -y -loglevel error " + args + " '" + out + "'";
    return std::system(command.c_str()) == 0 && std::filesystem::exists(out);
}

// Little-endian bytes of a header field.
static std::string le(uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>(v >> (8 * i));
    return s;
}

void writeWave(const std::string& path, const std::vector<float>& samples, uint32_t rate,
               uint32_t sparseBytes) {
    const auto size = sparseBytes ? sparseBytes - 44 : static_cast<uint32_t>(samples.size() * 2);
    std::string bytes = "RIFF" + le(36 + size, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
                        le(rate, 4) + le(rate * 2, 4) + le(2, 2) + le(16, 2) + "data" + le(size, 4);
    for (float x : samples)
        bytes += le(static_cast<uint16_t>(std::lround(std::clamp(x, -1.0f, 1.0f) * 32767)), 2);
    std::ofstream(path, std::ios::binary) << bytes;
    if (sparseBytes) std::filesystem::resize_file(path, sparseBytes);
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

float peak(const std::vector<float>& stereo, int channel, size_t from, size_t to) {
    float top = 0;
    for (size_t i = from; i < std::min(to, stereo.size() / 2); ++i)
        top = std::fmax(top, std::fabs(stereo[i * 2 + static_cast<size_t>(channel)]));
    return top;
}

double toneHz(const std::vector<float>& stereo, int channel, int rate) {
    // Rises count only between clear swings, so the quiet noise that codecs leave at the edges
    // of a file does not add false ones.
    const float threshold = 0.2f * peak(stereo, channel);
    std::vector<size_t> rises;
    bool low = false;
    for (size_t i = 0; i < stereo.size() / 2; ++i) {
        const float x = stereo[i * 2 + static_cast<size_t>(channel)];
        if (x < -threshold) low = true;
        if (low && x > threshold) {
            low = false;
            rises.push_back(i);
        }
    }
    return rises.size() < 2
               ? 0
               : (rises.size() - 1.0) * rate / static_cast<double>(rises.back() - rises.front());
}

}  // namespace morvast::testing
