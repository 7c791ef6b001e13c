#include "sound/cls_dm_ctrl.h"

#include <QFile>
#include <QFileInfo>

namespace morvast {

namespace {

// The playback rates the original's buffers accepted; any other value left the file's own rate.
bool acceptedFrequency(int32_t f) {
    return f >= 100 && f <= 100000;
}

}  // namespace

clsDMCtrl::clsDMCtrl(sound::Mixer& mixer, const bool& EnableSoundControl)
    : mixer_(mixer), enableSoundControl_(EnableSoundControl), voice_(mixer.createVoice()) {}

clsDMCtrl::~clsDMCtrl() {
    mixer_.setWave(voice_, nullptr);
}

void clsDMCtrl::DMCtrlPath(const QString& NewPath) {
    path_ = NewPath;
    loadWave();
}

bool clsDMCtrl::isSounding() const {
    return mixer_.isPlaying(voice_);
}

std::shared_ptr<const sound::Wave> clsDMCtrl::loadWave() {
    const QFileInfo info(path_);
    if (path_.isEmpty() || !info.isFile()) return nullptr;
    if (cached_ && cachedPath_ == path_ && cachedSize_ == info.size() &&
        cachedTime_ == info.lastModified()) {
        return cached_;
    }
    cached_.reset();
    auto wave = sound::decodeFile(QFile::encodeName(path_).toStdString());
    if (!wave) return nullptr;
    cachedPath_ = path_;
    cachedSize_ = info.size();
    cachedTime_ = info.lastModified();
    cached_ = wave;
    return wave;
}

void clsDMCtrl::DMCtrlPlay() {
    if (!enableSoundControl_ || !enabled_) return;
    mixer_.stop(voice_);
    auto wave = loadWave();
    // A failed load leaves no sound behind and changes none of the four properties.
    mixer_.setWave(voice_, wave);
    if (!wave) return;
    mixer_.setVolume(voice_, volume_);
    mixer_.setFrequency(voice_, acceptedFrequency(frequency_) ? frequency_ : 0);
    if (frequency_ == 0) frequency_ = wave->rate;
    mixer_.play(voice_, false);
}

}  // namespace morvast
