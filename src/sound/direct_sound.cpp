#include "sound/direct_sound.h"

#include <QFile>

namespace morvast {

DirectSound::DirectSound(sound::Mixer& mixer) : mixer_(mixer), voice_(mixer.createVoice()) {}

DirectSound::~DirectSound() {
    mixer_.setWave(voice_, nullptr);
}

void DirectSound::BkgMusicLoad(QString& path, int32_t& freq) {
    path_ = path;
    mixer_.setWave(voice_, nullptr);
    loaded_ = false;
    ownRate_ = 0;
    frequency_ = 0;
    auto wave = sound::decodeFile(QFile::encodeName(path).toStdString());
    if (!wave) return;
    ownRate_ = wave->rate;
    mixer_.setWave(voice_, wave);
    mixer_.setVolume(voice_, 0);
    mixer_.setPan(voice_, 0);
    mixer_.setFrequency(voice_, 0);
    mixer_.play(voice_, true);
    freq = ownRate_;
    loaded_ = true;
}

void DirectSound::BkgMusicLoad(QString& path) {
    int32_t ignored = 0;
    BkgMusicLoad(path, ignored);
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

}  // namespace morvast
