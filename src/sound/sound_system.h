#pragma once

#include <array>
#include <cstddef>
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

    // The values of a first start's settings, paths resolved against programFolder: the music
    // loaded (and so started) with its volume and frequency (also written to freq), then every
    // effect's path, switch, volume and frequency.
    void applyDefaults(const QString& programFolder, int32_t& freq);

    clsDMCtrl& effect(SoundEffect which) { return effects_[static_cast<std::size_t>(which)]; }
    void playSound(SoundEffect which) { effect(which).DMCtrlPlay(); }

    sound::Mixer& mixer() { return mixer_; }
    sound::AudioOutput& output() { return *output_; }

  private:
    sound::Mixer mixer_;

  public:
    DirectSound music;
    MP3Play mp3;

  private:
    std::array<clsDMCtrl, kEffectCount> effects_;  // indexed by SoundEffect
    // Last member: the output thread stops before anything it reads goes away.
    std::unique_ptr<sound::AudioOutput> output_;
};

}  // namespace morvast
