// The settings file of the main window: LoadSettings applies it at the first load, SaveSettings
// collects it when the window closes.
#include <algorithm>
#include <cmath>

#include "sound/sound_system.h"
#include "windows/main/frm_main.h"
#include "windows/forms/frm_mp3.h"
#include "windows/widgets/side_window.h"
#include "windows/widgets/twips.h"

namespace morvast {

namespace {

// A hand-edited coordinate may be anything a float holds; Qt takes ints, and a window beyond a
// million pixels is as lost as one at a million.
int twipsToPixels(float twips) {
    constexpr double kFarthest = 1e6 * kTwipsPerPixel;
    if (!std::isfinite(twips)) return 0;
    return px(static_cast<int>(std::lround(std::clamp<double>(twips, -kFarthest, kFarthest))));
}

// A pixel holds 15 twips, so a window the player did not move keeps the twips it was read with;
// only a move writes new ones.
float twipsAt(float stored, int pixels) {
    return twipsToPixels(stored) == pixels ? stored : static_cast<float>(pixels) * kTwipsPerPixel;
}

void storePlace(const QWidget* w, float& left, float& top) {
    const QPoint outer = OuterPlace::of(w)->outer();
    left = twipsAt(left, outer.x());
    top = twipsAt(top, outer.y());
}

}  // namespace

void frmMain::setSettingsFolder(const QString& folder, const QString& machineName,
                                const QString& mediaFolder) {
    settingsFile_.emplace(folder, machineName, mediaFolder);
}

void frmMain::placeAt(QWidget* w, float left, float top) {
    // Left and Top are the outer edges, frame included.
    OuterPlace::of(w)->moveTo(QPoint(twipsToPixels(left), twipsToPixels(top)));
}

void frmMain::LoadSettings() {
    if (!settingsFile_) return;
    // Reading never fails outright: a missing or damaged file gives way to the defaults.
    const SettingsLoad load = settingsFile_->LoadSettings();
    settingsLoad_ = load.status;
    const Settings& s = load.values;
    settingsOnDisk_ = s;

    placeAt(this, s.frmMain.Left, s.frmMain.Top);
    for (const SideWindowRow& r : sideWindowRows()) {
        const SideWindowPlace& p = s.*r.place;
        // Placed before it maps, so that a known frame lands where it belongs at once.
        if (p.Visible) placeAt(r.window, p.Left, p.Top);
        r.window->setVisible(p.Visible);
    }

    settings.EnableSoundControl = s.EnableSoundControl;
    settings.PathToBkgMusic = s.PathToBkgMusic.used;
    game.settings.EnableLoop = s.EnableLoop;
    settings.freq = s.freq;
    settings.MP3Path = s.MP3Path.used;
    settings.MP3Enable = s.MP3Enable;
    settings.MP3Loop = s.MP3Loop;
    // The player's name and loop show at once; it starts playing with the other media.
    frmMP3_->InitMusic();

    game.settings.SpeedChange = s.SpeedChange;
    game.settings.iFantom = s.iFantom;
    game.settings.bDrawSetka = s.bDrawSetka;
    settingsRead_ = true;
}

void frmMain::loadMedia() {
    if (mediaLoaded_ || !blnInitDone) return;
    mediaLoaded_ = true;
    sound_->createEffects();
    if (!settingsRead_) return;
    const Settings& s = settingsOnDisk_;
    SoundSystem* sounds = sound_->system();
    if (sounds) {
        // Loaded (and so started) even when switched off, so that the volume and frequency
        // reach the loaded music and the volume written back is the one stored.
        int32_t ownRate = 0;
        sounds->music.BkgMusicLoad(settings.PathToBkgMusic, ownRate);
        if (!s.EnableLoop) sounds->music.BkgMusicStop();
        int16_t volume = s.bkgVolume;
        sounds->music.BkgMusicSetVolume(volume);
        int32_t freq = s.freq;
        sounds->music.BkgMusicSetFreq(freq);
        for (int i = 0; i < kEffectCount; ++i) {
            const EffectSettings& e = s.effects[i];
            clsDMCtrl& object = sounds->effect(SoundEffect(i));
            object.DMCtrlPath(e.DMCtrlPath.used);
            object.DMCtrlEnabled(e.DMCtrlEnabled);
            object.DMCtrlVolume(e.DMCtrlVolume);
            object.DMCtrlFreq(e.DMCtrlFreq);
        }
    }

    if (sounds) {
        frmMP3_->setPlayer(&sounds->mp3);
        frmMP3_->InitMusic();
    }
}

void frmMain::SaveSettings() {
    if (!settingsFile_) return;
    // A close before the media were opened still writes what they would have held.
    loadMedia();
    Settings s = settingsOnDisk_;

    // A minimised window is written with the place of its normal state, without showing it.
    storePlace(this, s.frmMain.Left, s.frmMain.Top);
    for (const SideWindowRow& r : sideWindowRows()) {
        SideWindowPlace& p = s.*r.place;
        p.Visible = r.window->isVisible();
        if (p.Visible) storePlace(r.window, p.Left, p.Top);
    }

    s.EnableSoundControl = settings.EnableSoundControl;
    s.PathToBkgMusic.set(settings.PathToBkgMusic);
    s.EnableLoop = game.settings.EnableLoop;
    s.freq = settings.freq;
    if (SoundSystem* sounds = sound_->system()) {
        s.bkgVolume = sounds->music.BkgMusicGetVolume();
        for (int i = 0; i < kEffectCount; ++i) {
            const clsDMCtrl& object = sounds->effect(SoundEffect(i));
            EffectSettings& e = s.effects[i];
            e.DMCtrlPath.set(object.DMCtrlPath());
            e.DMCtrlEnabled = object.DMCtrlEnabled();
            e.DMCtrlVolume = object.DMCtrlVolume();
            e.DMCtrlFreq = object.DMCtrlFreq();
        }
    }
    s.MP3Path.set(settings.MP3Path);
    s.MP3Enable = settings.MP3Enable;
    s.MP3Loop = settings.MP3Loop;
    s.SpeedChange = game.settings.SpeedChange;
    s.iFantom = game.settings.iFantom;
    s.bDrawSetka = game.settings.bDrawSetka;

    // A folder where nothing can be written leaves the file as it was; the program still ends.
    settingsFile_->SaveSettings(s);
}

}  // namespace morvast
