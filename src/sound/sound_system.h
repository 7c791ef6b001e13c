#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QString>

#include "scoring/events.h"
#include "sound/audio_output.h"
#include "sound/cls_dm_ctrl.h"
#include "sound/direct_sound.h"
#include "sound/mixer.h"
#include "sound/mp3_play.h"

namespace morvast {

// Everything that sounds, on one output: the background music, the ten effect objects and the
// compressed-music player. The main window creates one at start and keeps it for its lifetime;
// every member belongs to the user-interface thread.
class SoundSystem {
  public:
    // EnableSoundControl is the main window's switch of all effects; forgetMp3 empties the main
    // window's MP3Path when the player gives up on its file. Both must outlive this object.
    SoundSystem(std::unique_ptr<sound::AudioOutput> output, const bool& EnableSoundControl,
                std::function<void()> forgetMp3);
    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // The values a first start uses: every effect from <folder>/sound/<its file>, on, volume
    // -1500, frequency 15000; the music <folder>/Sound/bkgmusic.WAV loaded and started, volume
    // -1500, frequency 13500 (also written to freq). Names are matched case-insensitively.
    void applyDefaults(const QString& programFolder, int32_t& freq);

    clsDMCtrl& effect(SoundEffect which);
    void playSound(SoundEffect which) { effect(which).DMCtrlPlay(); }

    sound::Mixer& mixer() { return mixer_; }
    sound::AudioOutput& output() { return *output_; }

  private:
    sound::Mixer mixer_;

  public:
    DirectSound music;
    clsDMCtrl mLeft1, mRight1, mRotate1, mDrop1, mDrop2, mDown1, mDown2, mDelLin1, mMorvast1,
        mInverse1;
    MP3Play mp3;

  private:
    // Last member: the output thread stops before anything it reads goes away.
    std::unique_ptr<sound::AudioOutput> output_;
};

// The default file name of each effect object, in the order of SoundEffect.
const char* defaultEffectFile(SoundEffect which);

}  // namespace morvast
