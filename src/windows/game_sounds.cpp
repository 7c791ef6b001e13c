#include "windows/game_sounds.h"

#include "settings/app_paths.h"
#include "sound/sound_system.h"
#include "windows/frm_main.h"

namespace morvast {

GameSounds::GameSounds(frmMain& w) : w_(w) {}
GameSounds::~GameSounds() = default;

void GameSounds::createEffects() {
    sounds_ =
        std::make_unique<SoundSystem>(sound::openAudioOutput(), w_.settings.EnableSoundControl,
                                      [this] { w_.settings.MP3Path.clear(); });
    // The values of the default settings file, until the settings file is read.
    sounds_->applyDefaults(programFolder(), w_.settings.freq);
}

void GameSounds::play(SoundEffect effect) {
    if (sounds_) sounds_->playSound(effect);
}

void GameSounds::setPan(int16_t& pan) {
    if (sounds_) sounds_->music.BkgMusicSetPan(pan);
}

}  // namespace morvast
