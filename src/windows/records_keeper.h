#pragma once

#include <QString>

#include <cstdint>
#include <functional>

#include "scoring/end_of_game.h"
#include "scoring/place.h"
#include "scoring/records.h"

class QWidget;

namespace morvast {

class Score;
class frmMorvasFathers;

// The records as the main window holds them: the table, its file in the program's folder and
// the records window that shows it. The main window calls it at a game start, after every
// landing and at the end of a game.
class RecordsKeeper {
  public:
    // focusReturn gets the keyboard back from the records window; uncheckChkRec runs when the
    // player closes that window by its close box.
    RecordsKeeper(const QString& folder, QWidget* focusReturn, std::function<void()> uncheckChkRec,
                  QWidget* windowParent = nullptr);
    ~RecordsKeeper();

    // ReadRecords and FillRecordsList; the result's intPlace and caption are the running
    // place and lblPosition of the new game.
    PlaceStart gameStart();
    // UpdatePlace against the table as it stood at the game start; the passed row is selected
    // in the records window, the rest is for the main window to apply.
    PlaceUpdate updatePlace(int64_t shownScore, int16_t intPlace);

    // What only the main window can do at the end of a game.
    struct MainWindowHooks {
        std::function<void()> stopDemo;
        std::function<void()> unloadAuxWindows;
        std::function<void()> Form_Load;
        std::function<void()> endProgram;
    };
    // FinishGame with the name and game-over dialogs shown modally over owner.
    FinishOutcome finishGame(int64_t shownScore, Score& score, QWidget* owner,
                             const MainWindowHooks& hooks);

    frmMorvasFathers* window() const { return window_; }
    const RecordsTable& table() const { return table_; }
    const RecordsFile& file() const { return file_; }

  private:
    RecordsTable table_;
    RecordsFile file_;
    frmMorvasFathers* window_;
};

}  // namespace morvast
