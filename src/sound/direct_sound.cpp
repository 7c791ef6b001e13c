#include "sound/direct_sound.h"

#include <new>

#include <QFile>

namespace morvast {

DirectSound::DirectSound(sound::Mixer& mixer) : mixer_(mixer), voice_(mixer.createVoice()) {}

DirectSound::~DirectSound() {
    mixer_.setWave(voice_, nullptr);
}

void DirectSound::BkgMusicLoad(QString& path, int32_t& freq) {
    path_ = path;
    mixer_.setWave(voice_, nullptr);
    stream_.reset();
    loaded_ = false;
    ownRate_ = 0;
    frequency_ = 0;
    try {
        auto stream = std::make_unique<sound::LoopingStream>();
        if (!stream->open(QFile::encodeName(path).toStdString())) return;
        stream_ = std::move(stream);
    } catch (const std::bad_alloc&) {
        // A medium that cannot be held is as absent as a missing one.
        return;
    }
    ownRate_ = stream_->rate();
    mixer_.setStream(voice_, stream_->ring(), ownRate_);
    mixer_.setVolume(voice_, 0);
    mixer_.setPan(voice_, 0);
    mixer_.setFrequency(voice_, 0);
    mixer_.play(voice_, true);
    freq = ownRate_;
    loaded_ = true;
}

void DirectSound::BkgMusicStop() {
    if (loaded_) mixer_.stop(voice_);
}

void DirectSound::BkgMusicPlay() {
    if (loaded_) mixer_.play(voice_, true);
}

void DirectSound::BkgMusicSetVolume(int16_t& volume) {
    if (loaded_) mixer_.setVolume(voice_, volume);
    volume_ = volume;
}

int16_t DirectSound::BkgMusicGetVolume() const {
    return loaded_ ? volume_ : int16_t{0};
}

void DirectSound::BkgMusicSetFreq(int32_t& freq) {
    if (!loaded_) return;
    // 0 returns to the file's own rate; values the original's buffers refused change nothing.
    if (freq != 0 && (freq < 100 || freq > 100000)) return;
    frequency_ = freq;
    mixer_.setFrequency(voice_, freq);
}

int32_t DirectSound::BkgMusicGetFreq() const {
    if (!loaded_) return 0;
    return frequency_ != 0 ? frequency_ : ownRate_;
}

void DirectSound::BkgMusicSetPan(int16_t& pan) {
    if (loaded_) mixer_.setPan(voice_, pan);
}

bool DirectSound::isSounding() const {
    return mixer_.isPlaying(voice_);
}

int64_t DirectSound::bufferedFrames() const {
    return stream_ ? static_cast<int64_t>(stream_->ring()->available()) : 0;
}

}  // namespace morvast
