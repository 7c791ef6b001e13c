#pragma once

#include <functional>
#include <memory>

#include "windows/ports.h"
#include "windows/records_keeper.h"

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

  private:
    frmMain& w_;
    std::unique_ptr<SoundSystem> sounds_;
};

// The records table, its file in the program's folder and the records window, behind the main
// window's place update and end of game.
class GameRecords : public RecordsPort {
  public:
    // endProgram ends the process at once when the player declines a new game.
    GameRecords(frmMain& w, std::function<void()> endProgram);

    int loadRecords(frmMain& w) override;
    void updatePlace(frmMain& w, int64_t shownScore) override;
    void finishGame(frmMain& w, int64_t shownScore) override;
    void unloadWindow(frmMain& w) override;

    RecordsKeeper& keeper() { return keeper_; }

  private:
    RecordsKeeper keeper_;
    std::function<void()> endProgram_;
};

}  // namespace morvast
