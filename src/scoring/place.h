#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace morvast {

// The running place at a game start: intPlace is the number of rows, and lblPosition shows
// the place below the last row unless the table is full.
struct PlaceStart {
    int16_t intPlace = 0;
    QString position;  // lblPosition's caption; empty with 99 rows or more
};
PlaceStart startPlace(int rows);

// What one place update asks of the main window, in the order it applies them.
struct PlaceUpdate {
    int16_t intPlace = 0;              // the new running place
    std::optional<QString> nextPlace;  // lblNextPlace's caption
    int selectRow = -1;                // lstTable's ListIndex; -1 leaves the selection alone
    std::optional<QString> position;   // lblPosition's caption
    bool startMenuBlink = false;       // start tmrMigMenuControls unless it runs
    // First place reached: lblPosition turns light cyan, lblNextPlace hides, and after the
    // statistic line the grid is redrawn in its lighter colour.
    bool victory = false;
    std::optional<QString> statistic;  // a line for lstStatistic
};

// Moves the running place up past every row whose score the shown score s exceeds. scores are
// the table's scores as they stood at the game start, best first.
PlaceUpdate UpdatePlace(int64_t s, int16_t intPlace, const QList<double>& scores);

}  // namespace morvast
