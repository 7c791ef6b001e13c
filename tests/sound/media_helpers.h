#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvast::testing {

// A fresh folder under /tmp, removed at the end of the program.
std::string scratchDir();

// ffmpeg arguments for a synthesised input: left 0.5 at 440 Hz and, in stereo, right 0.25 at
// 660 Hz, so level, pitch and channel order can all be checked.
std::string tone(int rate, int channels, double seconds);
// Runs the ffmpeg tool with the given arguments; true when it produced out.
bool ffmpegMake(const std::string& args, const std::string& out);

// A mono 16-bit wave file of samples in [-1, 1], at any rate the header can claim. With
// sparseBytes the header claims that size, header included, and the file is grown to it sparsely.
void writeWave(const std::string& path, const std::vector<float>& samples, uint32_t rate,
               uint32_t sparseBytes = 0);
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readBytes(const std::string& path);

// Largest magnitude of one channel (0 left, 1 right) of interleaved stereo samples.
float peak(const std::vector<float>& stereo, int channel, size_t from = 0, size_t to = SIZE_MAX);
// Frequency of a steady tone in one channel, from its rising zero crossings.
double toneHz(const std::vector<float>& stereo, int channel, int rate);

}  // namespace morvast::testing
