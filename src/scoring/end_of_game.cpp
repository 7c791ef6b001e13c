#include "scoring/end_of_game.h"

#include <QDate>
#include <QLocale>

#include <algorithm>
#include <climits>
#include <exception>

#include "scoring/score.h"

namespace morvast {

namespace {

// The end of a game goes on whatever a closing window or the records file throws at it: the
// player must still get the choice of a new game.
template <typename F>
void ignoringErrors(F&& step) {
    try {
        step();
    } catch (const std::exception&) {
    } catch (...) {
    }
}

}  // namespace

QString todayShortDate() {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

std::optional<QString> AskPlayerName(const EndOfGameWindows& w,
                                     const std::function<QString()>& today) {
    w.stopDemo();
    std::optional<QString> name = w.enterName();
    if (name && name->isEmpty()) name = today();
    return name;
}

FinishOutcome FinishGame(int64_t s, Score& score, RecordsTable& table, const RecordsFile& file,
                         const EndOfGameWindows& w, const std::function<QString()>& today) {
    FinishOutcome out;
    w.stopDemo();
    ignoringErrors([&] { w.unloadAuxWindows(); });
    const auto s32 = static_cast<int32_t>(std::clamp<int64_t>(s, INT32_MIN, INT32_MAX));
    ignoringErrors([&] {
        out.record = file.InsertRecord(table, s32, [&] { return AskPlayerName(w, today); });
    });
    ignoringErrors([&] { w.fillRecordsList(FillRecordsList(table)); });
    if (!out.record.notice.isEmpty()) ignoringErrors([&] { w.notice(out.record.notice); });
    ignoringErrors([&] { out.newGame = w.gameOver(); });
    if (!out.newGame) {
        w.endProgram();
        return out;
    }
    score.lngScore = 0;
    score.intSpeed = 0;
    table.ClearRecords();
    ignoringErrors([&] { w.Form_Load(); });
    return out;
}

}  // namespace morvast
