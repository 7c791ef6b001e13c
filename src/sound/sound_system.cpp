#include "sound/sound_system.h"

#include "settings/settings.h"

#include <utility>

namespace morvast {

namespace {

template <std::size_t... I>
std::array<clsDMCtrl, sizeof...(I)> makeEffects(sound::Mixer& mixer, const bool& enabled,
                                                std::index_sequence<I...>) {
    return {{((void)I, clsDMCtrl(mixer, enabled))...}};
}

}  // namespace

SoundSystem::SoundSystem(std::unique_ptr<sound::AudioOutput> output, const bool& EnableSoundControl,
                         std::function<void()> forgetMp3)
    : mixer_(output ? output->rate() : 48000),
      music(mixer_),
      mp3(mixer_, std::move(forgetMp3)),
      effects_(makeEffects(mixer_, EnableSoundControl, std::make_index_sequence<kEffectCount>())),
      output_(output ? std::move(output) : std::make_unique<sound::NullAudioOutput>()) {
    output_->start([this](float* out, int frames) { mixer_.render(out, frames); });
}

SoundSystem::~SoundSystem() {
    output_->stop();
}

void SoundSystem::applyDefaults(const QString& programFolder, int32_t& freq) {
    Settings d;
    resolvePaths(d, programFolder);
    music.BkgMusicLoad(d.PathToBkgMusic.used, freq);
    music.BkgMusicSetVolume(d.bkgVolume);
    freq = d.freq;
    music.BkgMusicSetFreq(freq);
    for (int i = 0; i < kEffectCount; ++i) {
        const EffectSettings& e = d.effects[static_cast<std::size_t>(i)];
        clsDMCtrl& object = effect(SoundEffect(i));
        object.DMCtrlPath(e.DMCtrlPath.used);
        object.DMCtrlEnabled(e.DMCtrlEnabled);
        object.DMCtrlVolume(e.DMCtrlVolume);
        object.DMCtrlFreq(e.DMCtrlFreq);
    }
}

}  // namespace morvast
