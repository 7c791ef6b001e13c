#include "sound/sound_system.h"

#include "settings/app_paths.h"

namespace morvast {

namespace {

constexpr int16_t kDefaultEffectVolume = -1500;
constexpr int32_t kDefaultEffectFreq = 15000;
constexpr int16_t kDefaultMusicVolume = -1500;
constexpr int32_t kDefaultMusicFreq = 13500;

}  // namespace

const char* defaultEffectFile(SoundEffect which) {
    switch (which) {
        case SoundEffect::Left:
            return "left1.WAV";
        case SoundEffect::Right:
            return "right1.WAV";
        case SoundEffect::Rotate:
            return "rotate1.WAV";
        case SoundEffect::Drop1:
            return "drop1.WAV";
        case SoundEffect::Drop2:
            return "drop2.WAV";
        case SoundEffect::Down1:
            return "down1.WAV";
        case SoundEffect::Down2:
            return "down2.WAV";
        case SoundEffect::DelLin:
            return "dellin1.WAV";
        case SoundEffect::Morvast:
            return "morvast1.WAV";
        case SoundEffect::Inverse:
            return "inverse1.WAV";
    }
    return "";
}

SoundSystem::SoundSystem(std::unique_ptr<sound::AudioOutput> output, const bool& EnableSoundControl,
                         std::function<void()> forgetMp3)
    : mixer_(output ? output->rate() : 48000),
      music(mixer_),
      mLeft1(mixer_, EnableSoundControl),
      mRight1(mixer_, EnableSoundControl),
      mRotate1(mixer_, EnableSoundControl),
      mDrop1(mixer_, EnableSoundControl),
      mDrop2(mixer_, EnableSoundControl),
      mDown1(mixer_, EnableSoundControl),
      mDown2(mixer_, EnableSoundControl),
      mDelLin1(mixer_, EnableSoundControl),
      mMorvast1(mixer_, EnableSoundControl),
      mInverse1(mixer_, EnableSoundControl),
      mp3(mixer_, std::move(forgetMp3)),
      output_(output ? std::move(output) : std::make_unique<sound::NullAudioOutput>()) {
    output_->start([this](float* out, int frames) { mixer_.render(out, frames); });
}

SoundSystem::~SoundSystem() {
    output_->stop();
}

clsDMCtrl& SoundSystem::effect(SoundEffect which) {
    switch (which) {
        case SoundEffect::Left:
            return mLeft1;
        case SoundEffect::Right:
            return mRight1;
        case SoundEffect::Rotate:
            return mRotate1;
        case SoundEffect::Drop1:
            return mDrop1;
        case SoundEffect::Drop2:
            return mDrop2;
        case SoundEffect::Down1:
            return mDown1;
        case SoundEffect::Down2:
            return mDown2;
        case SoundEffect::DelLin:
            return mDelLin1;
        case SoundEffect::Morvast:
            return mMorvast1;
        case SoundEffect::Inverse:
            return mInverse1;
    }
    return mLeft1;
}

void SoundSystem::applyDefaults(const QString& programFolder, int32_t& freq) {
    // The same order as a first start's settings: music loaded (and so started), its volume and
    // frequency, then the ten effects.
    QString musicPath = resolvePath(programFolder, QStringLiteral("Sound\\bkgmusic.WAV"));
    music.BkgMusicLoad(musicPath, freq);
    int16_t volume = kDefaultMusicVolume;
    music.BkgMusicSetVolume(volume);
    int32_t musicFreq = kDefaultMusicFreq;
    music.BkgMusicSetFreq(musicFreq);
    freq = musicFreq;
    for (int i = 0; i <= static_cast<int>(SoundEffect::Inverse); ++i) {
        const auto which = static_cast<SoundEffect>(i);
        clsDMCtrl& e = effect(which);
        e.DMCtrlPath(resolvePath(
            programFolder, QStringLiteral("sound\\") + QLatin1String(defaultEffectFile(which))));
        e.DMCtrlEnabled(true);
        e.DMCtrlVolume(kDefaultEffectVolume);
        e.DMCtrlFreq(kDefaultEffectFreq);
    }
}

}  // namespace morvast
