#pragma once

#include <cstdint>
#include <memory>

#include <QDateTime>
#include <QString>

#include "sound/mixer.h"

namespace morvast {

// One sound effect: a wave file with its own switch, volume and frequency, played once per
// request. A new request cuts the object's earlier sound off; sounds of different objects mix.
// Every member belongs to the user-interface thread.
class clsDMCtrl {
  public:
    // EnableSoundControl is the main window's switch of all effects, read at every play.
    clsDMCtrl(sound::Mixer& mixer, const bool& EnableSoundControl);
    ~clsDMCtrl();
    clsDMCtrl(const clsDMCtrl&) = delete;
    clsDMCtrl& operator=(const clsDMCtrl&) = delete;

    // Starts the file from its beginning and returns at once. Nothing happens while either
    // switch is off (a sound already running goes on) or when the file cannot be decoded.
    void DMCtrlPlay();

    // Full path of the wave file. Storing it decodes the file at once, so that a play never
    // waits for a decoder; a file that cannot be decoded is tried again at the next play.
    const QString& DMCtrlPath() const { return path_; }
    void DMCtrlPath(const QString& NewPath);
    // Hundredths of a decibel (0 = unattenuated, -10000 = silent), applied at the next play.
    int16_t DMCtrlVolume() const { return volume_; }
    void DMCtrlVolume(int16_t NewVolume) { volume_ = NewVolume; }
    bool DMCtrlEnabled() const { return enabled_; }
    void DMCtrlEnabled(bool NewEnable) { enabled_ = NewEnable; }
    // Hertz, applied at the next play; 0 = the file's own rate, which the next successful play
    // stores here.
    int32_t DMCtrlFreq() const { return frequency_; }
    void DMCtrlFreq(int32_t freq) { frequency_ = freq; }

    // Whether the object's sound is still running (for the program's own checks).
    bool isSounding() const;

  private:
    std::shared_ptr<const sound::Wave> loadWave();

    sound::Mixer& mixer_;
    const bool& enableSoundControl_;
    sound::VoiceId voice_;
    int16_t volume_ = 0;
    QString path_;
    bool enabled_ = false;
    int32_t frequency_ = 0;

    // The decoded file, kept until the path, size or modification time changes, so that a play
    // costs no decoding and is heard within one output buffer.
    QString cachedPath_;
    qint64 cachedSize_ = -1;
    QDateTime cachedTime_;
    std::shared_ptr<const sound::Wave> cached_;
};

}  // namespace morvast
