#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "sound/decoder.h"
#include "sound/mixer.h"

namespace morvast::sound {

// A file repeated without end, decoded at its own rate by a thread of its own into a ring that
// a mixer voice steps through; at the file's end the decoder goes back to its start. Memory is
// the ring's, whatever the file's length. Every member belongs to the thread that made it.
class LoopingStream {
  public:
    LoopingStream() = default;
    ~LoopingStream();
    LoopingStream(const LoopingStream&) = delete;
    LoopingStream& operator=(const LoopingStream&) = delete;

    // Opens the file and decodes its first frames before returning, so that a file that is
    // missing, not audio or without any sound fails here (error() tells why), and a play starts
    // with sound ready. The rest is decoded ahead of the player by the stream's thread.
    bool open(const std::string& path);
    // The file's own rate in hertz.
    int rate() const { return rate_; }
    const std::shared_ptr<StreamRing>& ring() const { return ring_; }
    const std::string& error() const { return error_; }

  private:
    // Producer side: hands decoded frames to the ring and, at the file's end, starts it again.
    // False when there is nothing more to give.
    bool feed(const float* frames, int64_t count, int64_t asked);
    void run();

    AudioDecoder decoder_;
    std::string path_;
    std::string error_;
    std::shared_ptr<StreamRing> ring_;
    int rate_ = 0;            // kept apart: the stream's thread may reopen the decoder
    int64_t passFrames_ = 0;  // frames of the current pass through the file
    bool lengthKnown_ = false;
    std::thread thread_;
};

}  // namespace morvast::sound
