#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

#include "scoring/records.h"

namespace morvast {

class Score;

// What the end of a game needs from the main window. Every member must be set.
struct EndOfGameWindows {
    std::function<void()> stopDemo;          // tmrDemo stops
    std::function<void()> unloadAuxWindows;  // frmOpen, then every frmHelp and frmSettings
    // frmEnterName, modal over frmMain: its PlayerName, or nullopt when it was closed without
    // confirming (bCancelRecord).
    std::function<std::optional<QString>()> enterName;
    std::function<void(const QStringList&)> fillRecordsList;  // lstTable's lines
    // Tells the player why the result was not kept (InsertOutcome::notice), before the game-over
    // question.
    std::function<void(const QString&)> notice;
    std::function<bool()> gameOver;    // frmGameOver, modal over frmMain: its blnContinue
    std::function<void()> Form_Load;   // a new game in the same main window
    std::function<void()> endProgram;  // at once: no unload handlers, nothing saved
};

// The current date in the system's short date format: the name of a player who gave none.
QString todayShortDate();

// Asks the name (the demo stops first); an empty name becomes today's date. nullopt when the
// player cancelled.
std::optional<QString> AskPlayerName(const EndOfGameWindows& w,
                                     const std::function<QString()>& today = todayShortDate);

struct FinishOutcome {
    InsertOutcome record;
    bool newGame = false;
};

// The end of a game with shown score s: closes the auxiliary windows, puts the result into the
// records file with the player's name, refills the records list, then either starts a new game
// (score and speed back to 0, table cleared, Form_Load) or ends the program.
FinishOutcome FinishGame(int64_t s, Score& score, RecordsTable& table, const RecordsFile& file,
                         const EndOfGameWindows& w,
                         const std::function<QString()>& today = todayShortDate);

}  // namespace morvast
