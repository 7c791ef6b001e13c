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
    // The sound objects themselves, for the windows that edit them; none while silent.
    virtual SoundSystem* soundSystem() const { return nullptr; }
};

// The settings file. The defaults of the settings variables stand until it is read.
class SettingsPort {
  public:
    virtual ~SettingsPort() = default;
    // Reads the file into the settings variables; may place and show the side windows.
    virtual void LoadSettings(frmMain& w) { (void)w; }
    virtual void SaveSettings(frmMain& w) { (void)w; }
};

}  // namespace morvast
