#pragma once

#include <functional>
#include <memory>

#include "windows/main/ports.h"

namespace morvast {

class SoundSystem;
namespace sound {
class AudioOutput;
}

// The real sound objects behind the main window: the ten effects, the background music with its
// sweep and the player, on the default output device (silence when there is none).
class GameSounds : public SoundPort {
  public:
    using OutputOpener = std::function<std::unique_ptr<sound::AudioOutput>()>;
    // openOutput defaults to the default output device; tests give a silent one.
    explicit GameSounds(frmMain& w, OutputOpener openOutput = {});
    ~GameSounds() override;

    void createEffects() override;
    void play(SoundEffect effect) override;
    void setPan(int16_t& pan) override;

    SoundSystem* system() override { return sounds_.get(); }

  private:
    frmMain& w_;
    OutputOpener openOutput_;
    std::unique_ptr<SoundSystem> sounds_;
};

}  // namespace morvast
