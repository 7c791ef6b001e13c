#pragma once

#include <memory>

#include "windows/ports.h"

namespace morvast {

class SoundSystem;

// The real sound objects behind the main window: the ten effects, the background music with its
// sweep and the player, on the default output device (silence when there is none).
class GameSounds : public SoundPort {
  public:
    explicit GameSounds(frmMain& w);
    ~GameSounds() override;

    void createEffects() override;
    void play(SoundEffect effect) override;
    void setPan(int16_t& pan) override;

    SoundSystem* system() const { return sounds_.get(); }
    SoundSystem* soundSystem() const override { return sounds_.get(); }

  private:
    frmMain& w_;
    std::unique_ptr<SoundSystem> sounds_;
};

}  // namespace morvast
