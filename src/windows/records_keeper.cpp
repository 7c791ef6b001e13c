#include "windows/records_keeper.h"

#include <QListWidget>

#include "windows/frm_enter_name.h"
#include "windows/frm_game_over.h"
#include "windows/frm_morvas_fathers.h"

namespace morvast {

RecordsKeeper::RecordsKeeper(const QString& folder, QWidget* focusReturn,
                             std::function<void()> uncheckChkRec, QWidget* windowParent)
    : file_(folder),
      window_(new frmMorvasFathers(focusReturn, std::move(uncheckChkRec), windowParent)) {}

RecordsKeeper::~RecordsKeeper() {
    // A parent deletes the window itself; a window of its own goes with the keeper.
    if (!window_->parent()) delete window_;
}

PlaceStart RecordsKeeper::gameStart() {
    file_.ReadRecords(table_);
    window_->setRecordsList(FillRecordsList(table_));
    return startPlace(window_->lstTable->count());
}

PlaceUpdate RecordsKeeper::updatePlace(int64_t shownScore, int16_t intPlace) {
    PlaceUpdate u = UpdatePlace(shownScore, intPlace, table_.colScores);
    if (u.selectRow >= 0) window_->setListIndex(u.selectRow);
    return u;
}

FinishOutcome RecordsKeeper::finishGame(int64_t shownScore, Score& score, QWidget* owner,
                                        const MainWindowHooks& hooks) {
    EndOfGameWindows w;
    w.stopDemo = hooks.stopDemo;
    w.unloadAuxWindows = hooks.unloadAuxWindows;
    w.enterName = [owner] { return frmEnterName::ask(owner); };
    w.fillRecordsList = [this](const QStringList& lines) { window_->setRecordsList(lines); };
    w.gameOver = [owner] { return frmGameOver::ask(owner); };
    w.Form_Load = hooks.Form_Load;
    w.endProgram = hooks.endProgram;
    return FinishGame(shownScore, score, table_, file_, w);
}

}  // namespace morvast
