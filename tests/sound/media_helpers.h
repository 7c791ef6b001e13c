#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sound/decoder.h"

namespace morvast::testing {

// A fresh folder under the system's temporary folder, removed at the end of the test program.
std::string scratchDir();

// Runs the ffmpeg tool with the given arguments (input synthesised by its lavfi sources);
// true when it produced out.
bool ffmpegMake(const std::string& args, const std::string& out);

// A 16-bit wave file of interleaved samples in [-1, 1].
void writeWave(const std::string& path, const std::vector<float>& samples, int channels, int rate);
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readBytes(const std::string& path);

// Largest magnitude of one channel (0 left, 1 right) of interleaved stereo samples.
float peak(const std::vector<float>& stereo, int channel, size_t from = 0, size_t to = SIZE_MAX);
// Frequency of a steady tone in one channel, from its rising zero crossings.
double toneHz(const std::vector<float>& stereo, int channel, int rate);

}  // namespace morvast::testing
