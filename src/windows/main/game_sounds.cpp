#include "windows/main/game_sounds.h"

#include "sound/sound_system.h"
#include "windows/main/frm_main.h"

namespace morvast {

GameSounds::GameSounds(frmMain& w, OutputOpener openOutput)
    : w_(w),
      openOutput_(openOutput ? std::move(openOutput) : OutputOpener(sound::openAudioOutput)) {}
GameSounds::~GameSounds() = default;

void GameSounds::createEffects() {
    // Nothing is loaded here: the settings file gives every object its file, once.
    sounds_ = std::make_unique<SoundSystem>(openOutput_(), w_.settings.EnableSoundControl,
                                            [this] { w_.settings.MP3Path.clear(); });
}

void GameSounds::play(SoundEffect effect) {
    if (sounds_) sounds_->playSound(effect);
}

void GameSounds::setPan(int16_t& pan) {
    if (sounds_) sounds_->music.BkgMusicSetPan(pan);
}

}  // namespace morvast
