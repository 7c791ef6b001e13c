#include "windows/game_ports.h"

#include "settings/app_paths.h"
#include "sound/sound_system.h"
#include "windows/picture_box.h"
#include "windows/frm_main.h"
#include "windows/frm_morvas_fathers.h"
#include "windows/win_colour.h"

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

GameRecords::GameRecords(frmMain& w, std::function<void()> endProgram)
    : keeper_(
          programFolder(), w.picMorvast, [&w] { w.chkRec->setChecked(false); }, &w),
      endProgram_(std::move(endProgram)) {
    w.frmMorvasFathers = keeper_.window();
}

int GameRecords::loadRecords(frmMain&) {
    return keeper_.gameStart().intPlace;
}

void GameRecords::updatePlace(frmMain& w, int64_t shownScore) {
    const PlaceUpdate u = keeper_.updatePlace(shownScore, w.game.intPlace);
    w.game.intPlace = u.intPlace;
    if (u.nextPlace) w.lblNextPlace->setText(*u.nextPlace);
    if (u.position) w.lblPosition->setText(*u.position);
    if (u.startMenuBlink) w.startRunningLight();
    if (u.victory) {
        setForeColor(w.lblPosition, colour::qbColor(11));
        w.lblNextPlace->hide();
    }
    if (u.statistic) w.addStatistic(u.statistic->toStdString(), false);
    if (u.victory) w.DrawGrid();
}

void GameRecords::finishGame(frmMain& w, int64_t shownScore) {
    RecordsKeeper::MainWindowHooks hooks;
    hooks.stopDemo = [&w] { w.tmrDemo.stop(); };
    // The file chooser, help and settings windows come with their own issues.
    hooks.unloadAuxWindows = [] {};
    hooks.Form_Load = [&w] { w.Form_Load(); };
    hooks.endProgram = endProgram_;
    keeper_.finishGame(shownScore, w.game.score, &w, hooks);
}

void GameRecords::unloadWindow(frmMain&) {
    keeper_.window()->unloadByProgram();
}

}  // namespace morvast
