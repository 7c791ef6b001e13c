#pragma once

#include <cstdint>

#include "scoring/events.h"

namespace morvast {

class frmMain;
class SoundSystem;

// Where the main window sends its sounds. The default is silent; the sound objects replace it.
class SoundPort {
  public:
    virtual ~SoundPort() = default;
    // The first load creates the ten effect objects here, in their order.
    virtual void createEffects() {}
    // The effect object's DMCtrlPlay; the object itself checks whether effects are on.
    virtual void play(SoundEffect effect) { (void)effect; }
    // The background music's pan setter, -10000 left to 10000 right; may change the value.
    virtual void setPan(int16_t& pan) { (void)pan; }
    // The music, the effect objects and the player once createEffects made them; none when
    // silent, and the settings then only keep their values.
    virtual SoundSystem* system() { return nullptr; }
};

}  // namespace morvast
