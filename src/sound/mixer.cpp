#include "sound/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace morvast::sound {

float gainOf(int volume) {
    if (volume <= kSilentVolume) return 0.0f;
    if (volume >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

StreamRing::StreamRing(size_t capacityFrames)
    : data_(std::max<size_t>(capacityFrames, 1) * 2),
      capacity_(std::max<size_t>(capacityFrames, 1)) {}

size_t StreamRing::space() const {
    return capacity_ -
           (head_.load(std::memory_order_relaxed) - tail_.load(std::memory_order_acquire));
}

size_t StreamRing::available() const {
    return head_.load(std::memory_order_acquire) - tail_.load(std::memory_order_relaxed);
}

void StreamRing::consume(size_t n) {
    tail_.store(consumed() + n, std::memory_order_seq_cst);
    // Paired with the producer's store of wanted_ and its second look at the room: either it
    // sees this consumption, or this sees its wish.
    const size_t wanted = wanted_.load(std::memory_order_seq_cst);
    if (wanted != 0 && space() >= wanted && wanted_.exchange(0) != 0) {
        signal_.fetch_add(1, std::memory_order_release);
        signal_.notify_one();
    }
}

bool StreamRing::waitForRoom(size_t frames) {
    frames = std::clamp<size_t>(frames, 1, capacity_);
    for (;;) {
        const uint32_t seen = signal_.load(std::memory_order_acquire);
        if (stopped_.load(std::memory_order_acquire)) return false;
        if (space() >= frames) return true;
        wanted_.store(frames, std::memory_order_seq_cst);
        if (capacity_ -
                (head_.load(std::memory_order_relaxed) - tail_.load(std::memory_order_seq_cst)) >=
            frames) {
            wanted_.store(0);
            continue;
        }
        signal_.wait(seen, std::memory_order_acquire);
        wakeups_.fetch_add(1, std::memory_order_relaxed);
    }
}

void StreamRing::stopProducer() {
    stopped_.store(true, std::memory_order_release);
    signal_.fetch_add(1, std::memory_order_release);
    signal_.notify_all();
}

size_t StreamRing::write(const float* frames, size_t count) {
    const size_t head = head_.load(std::memory_order_relaxed);
    const size_t n = std::min(count, space());
    for (size_t i = 0; i < n;) {
        const size_t at = (head + i) % capacity_;
        const size_t run = std::min(n - i, capacity_ - at);
        std::memcpy(&data_[at * 2], frames + i * 2, run * 2 * sizeof(float));
        i += run;
    }
    head_.store(head + n, std::memory_order_release);
    return n;
}

namespace {

struct Gains {
    float left;
    float right;
};

Gains gainsOf(const Voice& v) {
    const float g = gainOf(v.volume);
    const int pan = std::clamp<int>(v.pan, -kMaxPan, kMaxPan);
    return {pan > 0 ? g * gainOf(-pan) : g, pan < 0 ? g * gainOf(pan) : g};
}

// Moves the applied gains one frame towards the wanted ones, or one frame down a fade; the
// factors for this frame. False once a fade has run out.
struct Envelope {
    Gains target;
    float step;  // largest change of a gain per frame
    bool next(Voice& v, float& left, float& right) {
        if (v.fadeTotal > 0) {
            if (v.fadeLeft <= 0) return false;
            const float f = static_cast<float>(v.fadeLeft--) / static_cast<float>(v.fadeTotal);
            left = v.gainLeft * f;
            right = v.gainRight * f;
            return true;
        }
        v.gainLeft += std::clamp(target.left - v.gainLeft, -step, step);
        v.gainRight += std::clamp(target.right - v.gainRight, -step, step);
        left = v.gainLeft;
        right = v.gainRight;
        return true;
    }
};

Envelope envelopeOf(Voice& v, float glideStep) {
    const Gains target = gainsOf(v);
    // A voice starts at its own gains; only changes while it sounds glide.
    if (!v.gliding) {
        v.gainLeft = target.left;
        v.gainRight = target.right;
        v.gliding = true;
    }
    return {target, glideStep};
}

double stepOf(const Voice& v, int32_t ownRate, int outputRate) {
    return static_cast<double>(v.frequency > 0 ? v.frequency : ownRate) / outputRate;
}

void mixWave(Voice& v, float* out, size_t frames, int outputRate, float glideStep) {
    const Wave& w = *v.wave;
    const int64_t length = w.frames();
    if (length == 0 || outputRate <= 0) {
        v.playing = false;
        return;
    }
    const double step = stepOf(v, w.rate, outputRate);
    Envelope env = envelopeOf(v, glideStep);
    const float* s = w.samples.data();
    double pos = v.position;
    if (v.looping) pos = std::fmod(pos, static_cast<double>(length));
    for (size_t i = 0; i < frames; ++i) {
        if (pos >= length) {
            if (!v.looping) {
                v.playing = false;
                pos = static_cast<double>(length);
                break;
            }
            pos = std::fmod(pos, static_cast<double>(length));
        }
        float gl = 0, gr = 0;
        if (!env.next(v, gl, gr)) {
            v.playing = false;
            break;
        }
        const auto i0 = static_cast<int64_t>(pos);
        const auto frac = static_cast<float>(pos - i0);
        int64_t i1 = i0 + 1;
        // The last frame leads into the first in a loop and into silence in a one-shot, so a
        // loop joins without a step.
        float nl = 0.0f, nr = 0.0f;
        if (i1 < length || v.looping) {
            if (i1 >= length) i1 = 0;
            nl = s[i1 * 2];
            nr = s[i1 * 2 + 1];
        }
        const float l = s[i0 * 2] + (nl - s[i0 * 2]) * frac;
        const float r = s[i0 * 2 + 1] + (nr - s[i0 * 2 + 1]) * frac;
        out[i * 2] += l * gl;
        out[i * 2 + 1] += r * gr;
        pos += step;
    }
    v.position = pos;
}

// A stream is stepped through like a wave, but only over the frames its producer has written;
// the voice that plays it gives the frames it passed back to the producer. A fading copy reads
// ahead of that point without giving anything back.
void mixStream(Voice& v, float* out, size_t frames, int outputRate, float glideStep) {
    StreamRing& ring = *v.stream;
    // Ended first: once it is seen, every frame written before it is available too.
    const bool ended = ring.ended();
    const size_t available = ring.available();
    const size_t consumed = ring.consumed();
    const bool fading = v.fadeTotal > 0;
    if (v.position < static_cast<double>(consumed)) {
        v.playing = false;  // a fade overtaken by the voice that resumed
        return;
    }
    const double step = stepOf(v, v.streamRate > 0 ? v.streamRate : outputRate, outputRate);
    Envelope env = envelopeOf(v, glideStep);
    const double whole = std::floor(v.position);
    size_t k = static_cast<size_t>(whole) - consumed;
    // The k-th frame ready, without a division per sample: k stays below the capacity.
    const size_t start = consumed % ring.capacity();
    const auto frameAt = [&](size_t j) {
        const size_t place = start + j;
        return ring.slot(place < ring.capacity() ? place : place - ring.capacity());
    };
    double frac = v.position - whole;
    for (size_t i = 0; i < frames; ++i) {
        if (k >= available || (frac > 0 && k + 1 >= available && !ended)) {
            // Either the end, or the producer fell behind and the voice waits for it; a fade
            // waits for nobody.
            if (fading || (ended && k >= available)) v.playing = false;
            break;
        }
        float gl = 0, gr = 0;
        if (!env.next(v, gl, gr)) {
            v.playing = false;
            break;
        }
        const float* a = frameAt(k);
        float nl = 0.0f, nr = 0.0f;
        if (k + 1 < available) {
            const float* b = frameAt(k + 1);
            nl = b[0];
            nr = b[1];
        }
        const auto f = static_cast<float>(frac);
        out[i * 2] += (a[0] + (nl - a[0]) * f) * gl;
        out[i * 2 + 1] += (a[1] + (nr - a[1]) * f) * gr;
        frac += step;
        const double advance = std::floor(frac);
        k += static_cast<size_t>(advance);
        frac -= advance;
    }
    v.position = static_cast<double>(consumed + k) + frac;
    if (!fading) ring.consume(std::min(k, available));
}

void mixInto(std::span<Voice> voices, float* out, size_t frames, int outputRate, float glideStep) {
    for (Voice& v : voices) {
        if (!v.playing) continue;
        if (v.wave) {
            mixWave(v, out, frames, outputRate, glideStep);
        } else if (v.stream) {
            mixStream(v, out, frames, outputRate, glideStep);
        } else {
            v.playing = false;
        }
    }
}

float glideStepOf(int outputRate) {
    return static_cast<float>(1.0 / (kGlideSeconds * std::max(outputRate, 1)));
}

}  // namespace

void mixVoices(std::span<Voice> voices, std::span<float> out, int outputRate) {
    std::fill(out.begin(), out.end(), 0.0f);
    mixInto(voices, out.data(), out.size() / 2, outputRate, glideStepOf(outputRate));
    for (float& x : out)
        x = std::clamp(x, -1.0f, 1.0f);
}

Mixer::Mixer(int outputRate)
    : outputRate_(outputRate > 0 ? outputRate : 48000),
      glideStep_(glideStepOf(outputRate_)),
      fadeFrames_(std::max(1, static_cast<int>(kGlideSeconds * outputRate_))) {
    // The controlling thread only ever grows this by the sounds of the voices; reserving keeps
    // the first replacements from allocating.
    retired_.reserve(kMaxVoices * 2);
}

VoiceId Mixer::createVoice() {
    std::lock_guard guard(lock_);
    if (used_ >= kMaxVoices) return -1;
    controls_[static_cast<size_t>(used_)] = Control{};
    controls_[static_cast<size_t>(used_)].sourceSet = ++serial_;
    return used_++;
}

void Mixer::setSource(VoiceId id, const Wave* wave, StreamRing* stream, int32_t streamRate,
                      std::shared_ptr<const void> owner) {
    if (id < 0 || id >= used_) return;
    uint64_t setAt = 0, replacedAt = 0;
    {
        std::lock_guard guard(lock_);
        Control& c = controls_[static_cast<size_t>(id)];
        Voice& v = c.voice;
        v = Voice{wave, stream, 0, v.frequency, v.volume, v.pan, false, false};
        v.streamRate = streamRate;
        setAt = c.sourceSet;
        c.sourceSet = replacedAt = ++serial_;
        c.owner.swap(owner);
    }
    // owner now holds the previous sound, which the audio thread may still be reading.
    if (owner) retired_.push_back({std::move(owner), setAt, replacedAt});
    collect();
}

void Mixer::collect() {
    // A replaced sound is let go once the audio thread has taken the replacement and no voice
    // or fade of it reads the sound any more, whatever the other voices hold.
    const uint64_t seen = seen_.load(std::memory_order_acquire);
    std::array<uint64_t, kMaxVoices + kMaxFades> reading{};
    for (size_t i = 0; i < reading.size(); ++i)
        reading[i] = reading_[i].load(std::memory_order_relaxed);
    std::erase_if(retired_, [&](const Retired& r) {
        return seen >= r.replacedAt &&
               std::find(reading.begin(), reading.end(), r.setAt) == reading.end();
    });
}

void Mixer::setWave(VoiceId id, std::shared_ptr<const Wave> wave) {
    const Wave* raw = wave.get();
    setSource(id, raw, nullptr, 0, std::move(wave));
}

void Mixer::setStream(VoiceId id, std::shared_ptr<StreamRing> stream, int32_t streamRate) {
    StreamRing* raw = stream.get();
    setSource(id, nullptr, raw, std::max<int32_t>(0, streamRate), std::move(stream));
}

void Mixer::play(VoiceId id, bool looping) {
    std::lock_guard guard(lock_);
    if (id < 0 || id >= used_) return;
    Control& c = controls_[static_cast<size_t>(id)];
    if (c.voice.wave || c.voice.stream) {
        c.voice.looping = looping;
        c.voice.playing = true;
        c.playSet = ++serial_;
    }
}

void Mixer::stop(VoiceId id) {
    std::lock_guard guard(lock_);
    if (id < 0 || id >= used_) return;
    Control& c = controls_[static_cast<size_t>(id)];
    c.voice.playing = false;
    c.playSet = ++serial_;
}

void Mixer::setVolume(VoiceId id, int volume) {
    std::lock_guard guard(lock_);
    if (id >= 0 && id < used_)
        controls_[static_cast<size_t>(id)].voice.volume =
            static_cast<int16_t>(std::clamp(volume, kSilentVolume, 0));
}

void Mixer::setFrequency(VoiceId id, int32_t frequency) {
    std::lock_guard guard(lock_);
    if (id >= 0 && id < used_)
        controls_[static_cast<size_t>(id)].voice.frequency =
            std::clamp<int32_t>(frequency, 0, kMaxFrequency);
}

void Mixer::setPan(VoiceId id, int pan) {
    std::lock_guard guard(lock_);
    if (id >= 0 && id < used_)
        controls_[static_cast<size_t>(id)].voice.pan =
            static_cast<int16_t>(std::clamp(pan, -kMaxPan, kMaxPan));
}

bool Mixer::isPlaying(VoiceId id) const {
    return snapshot(id).playing;
}

double Mixer::position(VoiceId id) const {
    return snapshot(id).position;
}

Voice Mixer::snapshot(VoiceId id) const {
    if (id < 0 || id >= used_) return Voice{};
    const Control& c = controls_[static_cast<size_t>(id)];
    const Report& r = reports_[static_cast<size_t>(id)];
    const uint64_t seen = seen_.load(std::memory_order_acquire);
    Voice v = c.voice;
    v.position = seen >= c.sourceSet ? r.position.load(std::memory_order_relaxed) : 0.0;
    if (seen >= std::max(c.sourceSet, c.playSet))
        v.playing = r.playing.load(std::memory_order_relaxed);
    return v;
}

void Mixer::startFade(const Voice& from, uint64_t sourceSet) {
    // The slot of a finished fade, or else the one nearest its end.
    size_t slot = 0;
    for (size_t i = 0; i < fades_.size(); ++i) {
        if (!fades_[i].playing) {
            slot = i;
            break;
        }
        if (fades_[i].fadeLeft < fades_[slot].fadeLeft) slot = i;
    }
    Voice& f = fades_[slot];
    f = from;
    if (!f.gliding) {
        const Gains g = gainsOf(f);
        f.gainLeft = g.left;
        f.gainRight = g.right;
        f.gliding = true;
    }
    f.fadeLeft = f.fadeTotal = fadeFrames_;
    f.playing = true;
    fadeSourceSet_[slot] = sourceSet;
}

void Mixer::applyControls() {
    liveCount_ = used_;
    for (size_t id = 0; id < static_cast<size_t>(used_); ++id) {
        const Control& c = controls_[id];
        Voice& v = live_[id];
        if (liveSourceSet_[id] != c.sourceSet) {
            // A cut: the earlier sound fades out while the new one starts at once.
            if (v.playing) startFade(v, liveSourceSet_[id]);
            v = c.voice;
            v.playing = false;
            liveSourceSet_[id] = c.sourceSet;
        }
        if (livePlaySet_[id] != c.playSet) {
            if (c.voice.playing && !v.playing) {
                // A resume starts at once; a fade of its own stop would double it.
                for (size_t f = 0; f < fades_.size(); ++f) {
                    if (fades_[f].playing && fadeSourceSet_[f] == c.sourceSet &&
                        fades_[f].wave == v.wave && fades_[f].stream == v.stream)
                        fades_[f].playing = false;
                }
                v.playing = true;
                v.gliding = false;
            } else if (!c.voice.playing && v.playing) {
                startFade(v, c.sourceSet);
                v.playing = false;
            }
            livePlaySet_[id] = c.playSet;
        }
        v.looping = c.voice.looping;
        v.frequency = c.voice.frequency;
        v.volume = c.voice.volume;
        v.pan = c.voice.pan;
    }
    applied_ = serial_;
}

void Mixer::report() {
    for (size_t id = 0; id < static_cast<size_t>(liveCount_); ++id) {
        const Voice& v = live_[id];
        reading_[id].store(v.wave || v.stream ? liveSourceSet_[id] : 0, std::memory_order_relaxed);
        double position = v.position;
        if (v.stream && v.looping) {
            // A repeating stream counts within its file once the producer has found its end.
            const int64_t loop = v.stream->loopFrames();
            if (loop > 0) position = std::fmod(position, static_cast<double>(loop));
        }
        reports_[id].position.store(position, std::memory_order_relaxed);
        reports_[id].playing.store(v.playing, std::memory_order_relaxed);
    }
    for (size_t f = 0; f < fades_.size(); ++f) {
        reading_[kMaxVoices + f].store(fades_[f].playing ? fadeSourceSet_[f] : 0,
                                       std::memory_order_relaxed);
    }
    seen_.store(applied_, std::memory_order_release);
}

void Mixer::render(float* out, int frames) {
    // Never waits: while the controlling thread changes something, this buffer is mixed with
    // the parameters of the last one.
    if (lock_.try_lock()) {
        applyControls();
        lock_.unlock();
    }
    const size_t n = static_cast<size_t>(std::max(frames, 0));
    std::fill(out, out + n * 2, 0.0f);
    mixInto(std::span(live_.data(), static_cast<size_t>(liveCount_)), out, n, outputRate_,
            glideStep_);
    mixInto(fades_, out, n, outputRate_, glideStep_);
    for (size_t i = 0; i < n * 2; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
    report();
}

}  // namespace morvast::sound
