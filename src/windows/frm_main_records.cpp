// The records table as the main window holds it: read at every game start, followed by the
// running place after every landing, and written at the end of a game.
#include <QListWidget>

#include "scoring/end_of_game.h"
#include "scoring/place.h"
#include "windows/frm_enter_name.h"
#include "windows/frm_game_over.h"
#include "windows/frm_main.h"
#include "windows/frm_morvas_fathers.h"
#include "windows/win_colour.h"

namespace morvast {

void frmMain::readRecordsForNewGame() {
    recordsFile_.ReadRecords(records);
    frmMorvasFathers_->setRecordsList(FillRecordsList(records));
    const PlaceStart start = startPlace(frmMorvasFathers_->lstTable->count());
    game.intPlace = start.intPlace;
    if (!start.position.isEmpty()) lblPosition->setText(start.position);
}

void frmMain::updatePlace(int64_t shownScore) {
    const PlaceUpdate u = UpdatePlace(shownScore, game.intPlace, records.colScores);
    if (u.selectRow >= 0) frmMorvasFathers_->setListIndex(u.selectRow);
    game.intPlace = u.intPlace;
    if (u.nextPlace) lblNextPlace->setText(*u.nextPlace);
    if (u.position) lblPosition->setText(*u.position);
    if (u.startMenuBlink) startRunningLight();
    if (u.victory) {
        setForeColor(lblPosition, colour::qbColor(11));
        lblNextPlace->hide();
    }
    if (u.statistic) addStatistic(u.statistic->toStdString(), false);
    if (u.victory) DrawGrid();
}

void frmMain::finishGame(int64_t shownScore) {
    EndOfGameWindows w;
    w.stopDemo = [this] { tmrDemo.stop(); };
    // The help window joins here with its own issue.
    w.unloadAuxWindows = [this] { unloadSettingsWindows(); };
    w.enterName = [this] { return frmEnterName::ask(this); };
    w.fillRecordsList = [this](const QStringList& lines) {
        frmMorvasFathers_->setRecordsList(lines);
    };
    w.gameOver = [this] { return frmGameOver::ask(this); };
    w.Form_Load = [this] { Form_Load(); };
    w.endProgram = [this] { endProgramNow(); };
    FinishGame(shownScore, game.score, records, recordsFile_, w);
}

}  // namespace morvast
