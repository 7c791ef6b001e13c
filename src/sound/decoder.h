#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace morvast::sound {

// A whole decoded sound: interleaved stereo float samples at the file's own rate.
struct Wave {
    std::vector<float> samples;  // left, right, left, right, ...
    int rate = 0;                // frames per second of the file
    int64_t frames() const { return static_cast<int64_t>(samples.size() / 2); }
};

// The most a whole decoded sound may hold (64 MiB of samples: about 6 minutes of stereo at
// 44.1 kHz); a longer file fails like a missing one rather than taking the memory of the machine.
constexpr size_t kMaxWaveBytes = size_t{64} << 20;
// A stream ends after this many bytes without any sound in them.
constexpr int64_t kMaxUndecodableBytes = int64_t{4} << 20;
// The error text for a path that is not a regular file (a folder, a FIFO, a device, a socket).
inline constexpr const char* kNotAFile = "Not a regular file";

// Reads any audio file FFmpeg understands and hands out interleaved stereo float frames, at the
// file's own rate or converted to a chosen one. A mono file plays at its own level on both
// channels. Not thread-safe: one thread owns a decoder at a time.
class AudioDecoder {
  public:
    AudioDecoder();
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    // outputRate 0 keeps the file's own rate. On failure error() holds FFmpeg's text. Anything
    // but a regular file is refused without waiting on it.
    bool open(const std::string& path, int outputRate = 0);
    // Decodes from bytes held by the caller, who keeps them alive while the decoder is open.
    bool openMemory(std::span<const uint8_t> bytes, int outputRate = 0);
    void close();

    // Up to maxFrames stereo frames into out; fewer only at the end of the file, 0 after it.
    int64_t read(float* out, int64_t maxFrames);
    // Starts again from the given millisecond (approximate in compressed files).
    bool seekMs(int64_t ms);

    bool isOpen() const;
    int sourceRate() const;
    int outputRate() const;
    // Frames decoded so far since open or the last seek; tells a damaged file from a real one.
    int64_t framesDecoded() const;
    // The length the file's header tells, 0 when it tells none.
    double durationSeconds() const;
    // Bytes of the file read since it was opened, also after a failed open.
    int64_t bytesRead() const;
    const std::string& error() const { return error_; }

  private:
    bool openSource(const std::string& name);

    struct Impl;
    std::unique_ptr<Impl> d_;
    std::string error_;
    int64_t bytesRead_ = 0;
};

// Decodes a whole file at its own rate. Fails (null, with FFmpeg's text in *error) for a file
// that is missing, unreadable, not audio, that yields no sound at all, or that would hold more
// than kMaxWaveBytes.
std::shared_ptr<const Wave> decodeFile(const std::string& path, std::string* error = nullptr,
                                       size_t maxBytes = kMaxWaveBytes);
std::shared_ptr<const Wave> decodeMemory(std::span<const uint8_t> bytes,
                                         std::string* error = nullptr,
                                         size_t maxBytes = kMaxWaveBytes);

}  // namespace morvast::sound
