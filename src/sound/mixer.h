#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "sound/decoder.h"

namespace morvast::sound {

// Units shared by every sound call:
//   volume    hundredths of a decibel of attenuation, 0 = unattenuated, -10000 = silent;
//   frequency playback rate in hertz, 0 = the sound's own rate (speed and pitch together);
//   pan       -10000 full left ... 0 centre ... 10000 full right; a positive pan lowers the left
//             channel by pan/100 dB, a negative pan the right channel by -pan/100 dB.
constexpr int kSilentVolume = -10000;
constexpr int kMaxPan = 10000;
constexpr int32_t kMaxFrequency = 1000000;

// Amplitude factor of a volume in hundredths of a decibel; -10000 and below are exact silence.
float gainOf(int volume);

// Stereo samples handed from a producer thread (the compressed-music decoder) to the audio
// thread without locks: one writer, one reader, fixed capacity, nothing allocated once made.
class StreamRing {
  public:
    explicit StreamRing(size_t capacityFrames);
    // Producer side. Returns the frames actually taken.
    size_t write(const float* frames, size_t count);
    size_t space() const;
    void markEnded() { ended_.store(true, std::memory_order_release); }
    // Consumer side.
    size_t read(float* frames, size_t count);
    size_t available() const;
    bool ended() const { return ended_.load(std::memory_order_acquire); }
    // Only while neither side runs.
    void reset();

  private:
    std::vector<float> data_;
    size_t capacity_;
    std::atomic<size_t> head_{0};  // frames written, ever
    std::atomic<size_t> tail_{0};  // frames read, ever
    std::atomic<bool> ended_{false};
};

// One sounding thing: a decoded wave stepped through at its frequency, or a stream already at
// the output rate.
struct Voice {
    const Wave* wave = nullptr;
    StreamRing* stream = nullptr;
    double position = 0;  // source frames from the start (streams: frames consumed)
    int32_t frequency = 0;
    int16_t volume = 0;
    int16_t pan = 0;
    bool playing = false;
    bool looping = false;
};

// Sums the voices into out (interleaved stereo, out.size() / 2 frames), replacing what was
// there, and advances each voice. A one-shot voice that runs off its end stops; a looping voice
// wraps and interpolates across the join. Never allocates or blocks.
void mixVoices(std::span<Voice> voices, std::span<float> out, int outputRate);

using VoiceId = int;

// The voices of the program behind one short critical section. The audio thread calls render();
// every other member belongs to the user-interface thread (or any one controlling thread).
class Mixer {
  public:
    static constexpr int kMaxVoices = 16;

    explicit Mixer(int outputRate);
    int outputRate() const { return outputRate_; }

    // A new silent voice; -1 when all are taken.
    VoiceId createVoice();
    // Gives the voice a sound, stopped at its start; null leaves it without one. The previous
    // sound is released on the calling thread, never on the audio thread.
    void setWave(VoiceId id, std::shared_ptr<const Wave> wave);
    void setStream(VoiceId id, StreamRing* stream);
    void play(VoiceId id, bool looping);
    void stop(VoiceId id);  // keeps the position
    void setPosition(VoiceId id, double frame);
    void setVolume(VoiceId id, int volume);
    void setFrequency(VoiceId id, int32_t frequency);
    void setPan(VoiceId id, int pan);
    bool isPlaying(VoiceId id) const;
    double position(VoiceId id) const;
    Voice snapshot(VoiceId id) const;

    // Audio thread: fills interleaved stereo frames.
    void render(float* out, int frames);

  private:
    Voice* voice(VoiceId id);

    int outputRate_;
    mutable std::mutex lock_;
    std::array<Voice, kMaxVoices> voices_{};
    std::array<std::shared_ptr<const Wave>, kMaxVoices> owners_{};
    int used_ = 0;
};

}  // namespace morvast::sound
