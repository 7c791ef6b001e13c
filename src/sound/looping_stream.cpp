#include "sound/looping_stream.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <vector>

#include <pthread.h>

namespace morvast::sound {

namespace {

constexpr size_t kChunk = 4096;
// The ring holds a second of sound at the fastest rate a voice is asked to play (the slider's
// top is 75000 Hz), or at the file's own rate when that is higher: enough to ride out a busy
// disk, and a fixed cost whatever the file's length.
constexpr int64_t kRingRate = 100000;

}  // namespace

LoopingStream::~LoopingStream() {
    if (ring_) ring_->stopProducer();
    if (thread_.joinable()) thread_.join();
}

bool LoopingStream::open(const std::string& path) {
    path_ = path;
    if (!decoder_.open(path)) {
        error_ = decoder_.error();
        return false;
    }
    rate_ = decoder_.outputRate();
    try {
        ring_ =
            std::make_shared<StreamRing>(static_cast<size_t>(std::max<int64_t>(kRingRate, rate_)));
        std::vector<float> first(kChunk * 2);
        const int64_t got = decoder_.read(first.data(), kChunk);
        if (got == 0) {
            // A file that probes as audio but yields nothing is as unplayable as garbage.
            error_ = "Invalid data found when processing input";
            return false;
        }
        if (feed(first.data(), got, kChunk)) thread_ = std::thread([this] { run(); });
    } catch (const std::bad_alloc&) {
        error_ = "Cannot allocate memory";
        return false;
    } catch (const std::system_error& e) {
        error_ = e.what();
        return false;
    }
    return true;
}

bool LoopingStream::feed(const float* frames, int64_t count, int64_t asked) {
    ring_->write(frames, static_cast<size_t>(count));
    passFrames_ += count;
    if (count == asked) return true;
    if (!lengthKnown_) {
        ring_->setLoopFrames(passFrames_);
        lengthKnown_ = true;
    }
    // A pass that yields nothing would spin for ever; the sound ends instead.
    bool again = passFrames_ > 0 && decoder_.seekMs(0);
    if (!again && passFrames_ > 0) {
        // A stream that cannot seek back is opened afresh.
        again = decoder_.open(path_) && decoder_.outputRate() > 0;
    }
    passFrames_ = 0;
    if (!again) ring_->markEnded();
    return again;
}

void LoopingStream::run() {
    pthread_setname_np(pthread_self(), "mvst-music");
    try {
        std::vector<float> buffer(kChunk * 2);
        // Once the ring is full the thread sleeps until half of it has been played, so it wakes
        // every half second at the fastest rate and every few seconds at a usual one.
        const size_t refill = ring_->capacity() / 2;
        for (;;) {
            const size_t room = ring_->space() >= kChunk ? kChunk : refill;
            if (!ring_->waitForRoom(room)) return;
            const int64_t got = decoder_.read(buffer.data(), kChunk);
            if (!feed(buffer.data(), got, kChunk)) return;
        }
    } catch (const std::bad_alloc&) {
        // The music falls silent; the game goes on.
        ring_->markEnded();
    }
}

}  // namespace morvast::sound
