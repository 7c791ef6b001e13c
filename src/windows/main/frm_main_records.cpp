// The records table as the main window holds it: read at every game start, followed by the
// running place after every landing, and written at the end of a game; and what the player is
// told when the table cannot keep a result.
#include <QCoreApplication>
#include <QFontMetrics>
#include <QListWidget>
#include <QMessageBox>
#include <QStyle>

#include <utility>

#include "scoring/end_of_game.h"
#include "scoring/place.h"
#include "windows/forms/frm_enter_name.h"
#include "windows/forms/frm_game_over.h"
#include "windows/main/frm_main.h"
#include "windows/forms/frm_open.h"
#include "windows/forms/frm_morvas_fathers.h"
#include "windows/forms/frm_statistic.h"
#include "windows/main/session_end.h"
#include "windows/widgets/win_colour.h"

namespace morvast {

namespace {

// The notice as list lines that fit the list's width, broken between words; the first starts
// with the dots of the game's other remarks. The list fills its window, which has a fixed size
// even before it is first shown.
QStringList wrapForList(const QString& text, const QListWidget& list) {
    const QFontMetrics metrics(list.font());
    const int width = list.window()->width() -
                      list.style()->pixelMetric(QStyle::PM_ScrollBarExtent) -
                      2 * metrics.horizontalAdvance(QLatin1Char('x'));
    QStringList lines;
    QString line = QStringLiteral("...");
    bool fresh = true;
    // A word wider than the list (a long path) is cut into pieces that fit.
    QStringList words;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QString piece;
        for (const QChar c : word) {
            if (!piece.isEmpty() && metrics.horizontalAdvance(piece + c) > width)
                words << std::exchange(piece, QString());
            piece += c;
        }
        words << piece;
    }
    for (const QString& word : std::as_const(words)) {
        const QString longer = fresh ? line + word : line + QLatin1Char(' ') + word;
        if (fresh || metrics.horizontalAdvance(longer) <= width) {
            line = longer;
            fresh = false;
        } else {
            lines << line;
            line = word;
        }
    }
    lines << line;
    return lines;
}

}  // namespace

void frmMain::connectRecords() {
    // While another copy holds the table's lock the window keeps painting and its timers keep
    // running; the player's clicks and keys wait, as the game has just ended. A request to end
    // the program stops the wait, so that it ends at once.
    recordsFile_.setKeepAlive([] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return !terminationRequested();
    });
}

void frmMain::tellUnkeptRecords() {
    // The statistic list, not a dialog: play must not stop for it, and the list is where the
    // game already tells how the game goes.
    if (const std::optional<QString> why = recordsFile_.takeNotice())
        for (const QString& line : wrapForList(*why, *frmStatistic_->lstStatistic))
            addStatistic(line.toStdString(), true);
}

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
    w.unloadAuxWindows = [this] {
        unloadSettingsWindows();
        unloadHelpWindows();
    };
    w.enterName = [this] { return frmEnterName::ask(this); };
    w.fillRecordsList = [this](const QStringList& lines) {
        frmMorvasFathers_->setRecordsList(lines);
    };
    // The game is over, so a dialog stops nothing: the player named a result that was lost.
    w.notice = [this](const QString& text) {
        QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
        box.exec();
    };
    w.gameOver = [this] { return frmGameOver::ask(this); };
    w.Form_Load = [this] { Form_Load(); };
    w.endProgram = [this] { endProgramNow(); };
    FinishGame(shownScore, game.score, records, recordsFile_, w);
}

}  // namespace morvast
