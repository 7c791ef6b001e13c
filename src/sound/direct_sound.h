#pragma once

#include <cstdint>
#include <memory>

#include <QString>

#include "sound/looping_stream.h"
#include "sound/mixer.h"

namespace morvast {

// The looping background music: one file streamed from disk and repeated by going back to its
// start, with a volume, a playback frequency and a stereo position. Memory and load time do not
// grow with the file's length. Every member belongs to the user-interface thread; units are
// those of sound/mixer.h (volume in hundredths of a decibel, frequency in hertz, pan in
// hundredths of a decibel of the other channel's attenuation).
class DirectSound {
  public:
    explicit DirectSound(sound::Mixer& mixer);
    ~DirectSound();
    DirectSound(const DirectSound&) = delete;
    DirectSound& operator=(const DirectSound&) = delete;

    // Loads the file and starts it looping from its beginning at full volume, centre position
    // and the file's own rate, whether or not the music is switched on. On success freq becomes
    // the file's own rate; on failure (a file that is missing, not audio, or that cannot be
    // held) nothing plays and nothing counts as loaded. Returns once the first frames are
    // decoded; the rest follows on the stream's own thread.
    void BkgMusicLoad(QString& path, int32_t& freq);
    // Halts the music; the position stays where it was.
    void BkgMusicStop();
    // Goes on looping from where it stopped.
    void BkgMusicPlay();
    // Applies the volume if music is loaded and remembers it in every case.
    void BkgMusicSetVolume(int16_t& volume);
    // The remembered volume while music is loaded, else 0.
    int16_t BkgMusicGetVolume() const;
    void BkgMusicSetFreq(int32_t& freq);
    // The current playback frequency; 0 with nothing loaded.
    int32_t BkgMusicGetFreq() const;
    void BkgMusicSetPan(int16_t& pan);

    // The remembered volume, loaded or not.
    int16_t volume() const { return volume_; }
    bool loaded() const { return loaded_; }
    const QString& path() const { return path_; }
    bool isSounding() const;
    // Frames of the file decoded ahead of the player; 0 with nothing loaded.
    int64_t bufferedFrames() const;

  private:
    sound::Mixer& mixer_;
    sound::VoiceId voice_;
    QString path_;
    int16_t volume_ = 0;
    bool loaded_ = false;
    int32_t ownRate_ = 0;
    int32_t frequency_ = 0;  // 0 = the file's own rate
    std::unique_ptr<sound::LoopingStream> stream_;
};

}  // namespace morvast
