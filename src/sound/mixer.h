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
// A change of volume or pan glides over at most this long, and a cut sound fades out over it,
// so that neither is heard as a click.
constexpr double kGlideSeconds = 0.004;

// Amplitude factor of a volume in hundredths of a decibel; -10000 and below are exact silence.
float gainOf(int volume);

// Stereo samples handed from a producer thread (a decoder) to the audio thread without locks:
// one writer, one reader, fixed capacity, nothing allocated once made. The producer sleeps
// until the consumer has freed the room it asked for; the consumer wakes it through a futex
// (std::atomic wait), which takes no lock, so the audio thread never waits on anyone.
class StreamRing {
  public:
    explicit StreamRing(size_t capacityFrames);
    size_t capacity() const { return capacity_; }
    // Producer side. Returns the frames actually taken.
    size_t write(const float* frames, size_t count);
    size_t space() const;
    void markEnded() { ended_.store(true, std::memory_order_release); }
    // Producer side, for a stream that repeats one file: its length in frames, once known.
    void setLoopFrames(int64_t frames) { loopFrames_.store(frames, std::memory_order_release); }
    // Producer side: sleeps until there is room for at least `frames` (at most the capacity);
    // false, at once, after stopProducer().
    bool waitForRoom(size_t frames);
    // Any thread: ends every present and later waitForRoom.
    void stopProducer();
    // Times waitForRoom went to sleep and was woken (for measurements and checks).
    uint64_t producerWakeups() const { return wakeups_.load(std::memory_order_relaxed); }

    // Consumer side: frames ready, the k-th of them (k < available()), and giving n back.
    size_t available() const;
    const float* frame(size_t k) const { return slot((consumed() + k) % capacity_); }
    // The frame at a place of the ring (below the capacity), for stepping without a division.
    const float* slot(size_t place) const { return &data_[place * 2]; }
    void consume(size_t n);
    // Frames consumed since the start.
    size_t consumed() const { return tail_.load(std::memory_order_relaxed); }
    bool ended() const { return ended_.load(std::memory_order_acquire); }
    int64_t loopFrames() const { return loopFrames_.load(std::memory_order_acquire); }

  private:
    std::vector<float> data_;
    size_t capacity_;
    std::atomic<size_t> head_{0};  // frames written, ever
    std::atomic<size_t> tail_{0};  // frames read, ever
    std::atomic<bool> ended_{false};
    std::atomic<int64_t> loopFrames_{0};
    std::atomic<size_t> wanted_{0};    // room the sleeping producer waits for; 0 = none
    std::atomic<uint32_t> signal_{0};  // bumped to wake the producer
    std::atomic<bool> stopped_{false};
    std::atomic<uint64_t> wakeups_{0};
};

// One sounding thing: a decoded wave, or a stream, stepped through at its frequency.
struct Voice {
    const Wave* wave = nullptr;
    StreamRing* stream = nullptr;
    double position = 0;  // source frames from the start (streams: frames consumed)
    int32_t frequency = 0;
    int16_t volume = 0;
    int16_t pan = 0;
    bool playing = false;
    bool looping = false;
    int32_t streamRate = 0;  // a stream's own rate; 0 = the output rate
    // The gains applied to the last frame mixed. They glide towards the volume and pan's own,
    // so a change never steps; a voice that has not sounded yet starts at them.
    bool gliding = false;
    float gainLeft = 0, gainRight = 0;
    // A cut sound fading out: frames left of fadeTotal. Such a voice never consumes a stream.
    int fadeLeft = 0, fadeTotal = 0;
};

// Sums the voices into out (interleaved stereo, out.size() / 2 frames), replacing what was
// there, and advances each voice. A one-shot voice that runs off its end stops; a looping voice
// wraps and interpolates across the join. Never allocates or blocks.
void mixVoices(std::span<Voice> voices, std::span<float> out, int outputRate);

using VoiceId = int;

// The voices of the program. The audio thread calls render(); every other member belongs to
// the user-interface thread (or any one controlling thread). Changes reach the audio thread at
// its next buffer through a try-lock: when the controlling thread holds the lock, the audio
// thread mixes with the parameters it had, so it never waits. Sounds are owned here and
// released on the controlling thread once the audio thread has let go of them.
class Mixer {
  public:
    static constexpr int kMaxVoices = 16;

    explicit Mixer(int outputRate);
    int outputRate() const { return outputRate_; }

    // A new silent voice; -1 when all are taken.
    VoiceId createVoice();
    // Gives the voice a sound, stopped at its start; null leaves it without one. A sound still
    // playing fades out over a few milliseconds. streamRate is the stream's own rate in hertz
    // (0 = the output rate).
    void setWave(VoiceId id, std::shared_ptr<const Wave> wave);
    void setStream(VoiceId id, std::shared_ptr<StreamRing> stream, int32_t streamRate = 0);
    void play(VoiceId id, bool looping);
    void stop(VoiceId id);  // keeps the position
    void setVolume(VoiceId id, int volume);
    void setFrequency(VoiceId id, int32_t frequency);
    void setPan(VoiceId id, int pan);
    // As the audio thread last reported them, or as just asked for when it has not caught up.
    // A looping stream's position counts within its file once the file's length is known.
    bool isPlaying(VoiceId id) const;
    double position(VoiceId id) const;
    Voice snapshot(VoiceId id) const;

    // Audio thread: fills interleaved stereo frames.
    void render(float* out, int frames);

    // Lets go of what the audio thread no longer reads; the replaced sounds still held.
    size_t retiredCount() {
        collect();
        return retired_.size();
    }

  private:
    static constexpr int kMaxFades = 32;
    // What the controlling thread asks of one voice, and the serials of the commands that set
    // its sound and its play state; the audio thread applies a command once per serial.
    struct Control {
        Voice voice;
        uint64_t sourceSet = 0;
        uint64_t playSet = 0;
        std::shared_ptr<const void> owner;
    };
    // What the audio thread last told about one voice.
    struct Report {
        std::atomic<double> position{0};
        std::atomic<bool> playing{false};
    };

    void setSource(VoiceId id, const Wave* wave, StreamRing* stream, int32_t streamRate,
                   std::shared_ptr<const void> owner);
    void collect();
    // Audio thread, under the lock: takes the controlling thread's latest requests.
    void applyControls();
    void startFade(const Voice& from, uint64_t sourceSet);
    void report();

    int outputRate_;
    float glideStep_;
    int fadeFrames_;

    // Controlling thread; the audio thread reads it under the lock.
    std::mutex lock_;
    uint64_t serial_ = 0;
    int used_ = 0;
    std::array<Control, kMaxVoices> controls_{};
    // Controlling thread only: sounds replaced while the audio thread may still read them.
    struct Retired {
        std::shared_ptr<const void> sound;
        uint64_t setAt;       // the serial that gave it to its voice
        uint64_t replacedAt;  // the serial that took it away
    };
    std::vector<Retired> retired_;

    // Audio thread only.
    int liveCount_ = 0;
    uint64_t applied_ = 0;
    std::array<Voice, kMaxVoices> live_{};
    std::array<uint64_t, kMaxVoices> liveSourceSet_{};
    std::array<uint64_t, kMaxVoices> livePlaySet_{};
    std::array<Voice, kMaxFades> fades_{};
    std::array<uint64_t, kMaxFades> fadeSourceSet_{};

    // Audio thread to controlling thread.
    std::array<Report, kMaxVoices> reports_{};
    std::atomic<uint64_t> seen_{0};  // the newest serial the audio thread applied
    // The serial of the sound each live voice and each fade reads (0: none). Written before
    // seen_, so a reader of seen_ finds them at least as new; once a replaced sound's serial has
    // left every slot it never comes back.
    std::array<std::atomic<uint64_t>, kMaxVoices + kMaxFades> reading_{};
};

}  // namespace morvast::sound
