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
    : data_(capacityFrames * 2), capacity_(capacityFrames) {}

size_t StreamRing::space() const {
    return capacity_ -
           (head_.load(std::memory_order_relaxed) - tail_.load(std::memory_order_acquire));
}

size_t StreamRing::available() const {
    return head_.load(std::memory_order_acquire) - tail_.load(std::memory_order_relaxed);
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

size_t StreamRing::read(float* frames, size_t count) {
    const size_t tail = tail_.load(std::memory_order_relaxed);
    const size_t n = std::min(count, available());
    for (size_t i = 0; i < n;) {
        const size_t at = (tail + i) % capacity_;
        const size_t run = std::min(n - i, capacity_ - at);
        std::memcpy(frames + i * 2, &data_[at * 2], run * 2 * sizeof(float));
        i += run;
    }
    tail_.store(tail + n, std::memory_order_release);
    return n;
}

void StreamRing::reset() {
    head_.store(0);
    tail_.store(0);
    ended_.store(false);
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

void mixWave(Voice& v, float* out, size_t frames, int outputRate) {
    const Wave& w = *v.wave;
    const int64_t length = w.frames();
    if (length == 0 || outputRate <= 0) {
        v.playing = false;
        return;
    }
    const int32_t rate = v.frequency > 0 ? v.frequency : w.rate;
    const double step = static_cast<double>(rate) / outputRate;
    const auto [gl, gr] = gainsOf(v);
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

void mixStream(Voice& v, float* out, size_t frames) {
    const auto [gl, gr] = gainsOf(v);
    constexpr size_t kChunk = 256;
    float chunk[kChunk * 2];
    size_t done = 0;
    while (done < frames) {
        const size_t got = v.stream->read(chunk, std::min(kChunk, frames - done));
        for (size_t i = 0; i < got; ++i) {
            out[(done + i) * 2] += chunk[i * 2] * gl;
            out[(done + i) * 2 + 1] += chunk[i * 2 + 1] * gr;
        }
        done += got;
        v.position += static_cast<double>(got);
        if (got == 0) {
            // An empty ring is the end only once the producer says so; otherwise it fell
            // behind and the voice waits for it.
            if (v.stream->ended() && v.stream->available() == 0) v.playing = false;
            break;
        }
    }
}

}  // namespace

void mixVoices(std::span<Voice> voices, std::span<float> out, int outputRate) {
    std::fill(out.begin(), out.end(), 0.0f);
    const size_t frames = out.size() / 2;
    for (Voice& v : voices) {
        if (!v.playing) continue;
        if (v.wave) {
            mixWave(v, out.data(), frames, outputRate);
        } else if (v.stream) {
            mixStream(v, out.data(), frames);
        } else {
            v.playing = false;
        }
    }
    for (float& x : out)
        x = std::clamp(x, -1.0f, 1.0f);
}

Mixer::Mixer(int outputRate) : outputRate_(outputRate > 0 ? outputRate : 48000) {}

Voice* Mixer::voice(VoiceId id) {
    if (id < 0 || id >= used_) return nullptr;
    return &voices_[static_cast<size_t>(id)];
}

VoiceId Mixer::createVoice() {
    std::lock_guard guard(lock_);
    if (used_ >= kMaxVoices) return -1;
    voices_[static_cast<size_t>(used_)] = Voice{};
    return used_++;
}

void Mixer::setWave(VoiceId id, std::shared_ptr<const Wave> wave) {
    {
        std::lock_guard guard(lock_);
        Voice* v = voice(id);
        if (!v) return;
        *v = Voice{wave.get(), nullptr, 0, v->frequency, v->volume, v->pan, false, false};
        owners_[static_cast<size_t>(id)].swap(wave);
    }
    // wave now holds the previous sound and is released here, outside the lock.
}

void Mixer::setStream(VoiceId id, StreamRing* stream) {
    std::shared_ptr<const Wave> previous;
    {
        std::lock_guard guard(lock_);
        Voice* v = voice(id);
        if (!v) return;
        *v = Voice{nullptr, stream, 0, 0, v->volume, v->pan, false, false};
        owners_[static_cast<size_t>(id)].swap(previous);
    }
}

void Mixer::play(VoiceId id, bool looping) {
    std::lock_guard guard(lock_);
    if (Voice* v = voice(id); v && (v->wave || v->stream)) {
        v->looping = looping;
        v->playing = true;
    }
}

void Mixer::stop(VoiceId id) {
    std::lock_guard guard(lock_);
    if (Voice* v = voice(id)) v->playing = false;
}

void Mixer::setPosition(VoiceId id, double frame) {
    std::lock_guard guard(lock_);
    if (Voice* v = voice(id)) v->position = std::max(0.0, frame);
}

void Mixer::setVolume(VoiceId id, int volume) {
    std::lock_guard guard(lock_);
    if (Voice* v = voice(id))
        v->volume = static_cast<int16_t>(std::clamp(volume, kSilentVolume, 0));
}

void Mixer::setFrequency(VoiceId id, int32_t frequency) {
    std::lock_guard guard(lock_);
    if (Voice* v = voice(id)) v->frequency = std::clamp<int32_t>(frequency, 0, kMaxFrequency);
}

void Mixer::setPan(VoiceId id, int pan) {
    std::lock_guard guard(lock_);
    if (Voice* v = voice(id)) v->pan = static_cast<int16_t>(std::clamp(pan, -kMaxPan, kMaxPan));
}

bool Mixer::isPlaying(VoiceId id) const {
    return snapshot(id).playing;
}
double Mixer::position(VoiceId id) const {
    return snapshot(id).position;
}

Voice Mixer::snapshot(VoiceId id) const {
    std::lock_guard guard(lock_);
    if (id < 0 || id >= used_) return Voice{};
    return voices_[static_cast<size_t>(id)];
}

void Mixer::render(float* out, int frames) {
    std::lock_guard guard(lock_);
    mixVoices(std::span(voices_.data(), static_cast<size_t>(used_)),
              std::span(out, static_cast<size_t>(frames) * 2), outputRate_);
}

}  // namespace morvast::sound
