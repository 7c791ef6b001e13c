#include "scoring/place.h"

#include <algorithm>

#include "scoring/records.h"

namespace morvast {

PlaceStart startPlace(int rows) {
    PlaceStart p;
    p.intPlace = static_cast<int16_t>(std::clamp(rows, 0, 32767));
    if (p.intPlace < kMaxRecords) p.position = QStringLiteral("Place # %1").arg(p.intPlace + 1);
    return p;
}

PlaceUpdate UpdatePlace(int64_t s, int16_t intPlace, const QList<double>& scores) {
    PlaceUpdate u;
    u.intPlace = intPlace;
    if (intPlace <= 0) return u;
    // The place never lies below the table; a stray call must not read past its end.
    u.intPlace = static_cast<int16_t>(std::min<qsizetype>(intPlace, scores.size()));
    int gained = 0;
    while (u.intPlace > 0 && static_cast<double>(s) > scores[u.intPlace - 1]) {
        --u.intPlace;
        ++gained;
    }
    if (u.intPlace > 0)
        u.nextPlace = QStringLiteral("Next Place : +") +
                      scoreText(scores[u.intPlace - 1] - static_cast<double>(s));
    if (gained == 0) return u;
    u.selectRow = u.intPlace;
    u.position = QStringLiteral("Place # %1").arg(u.intPlace + 1);
    u.startMenuBlink = true;
    if (u.intPlace > 0) {
        u.statistic = QStringLiteral("...Place : %1").arg(u.intPlace + 1);
    } else {
        u.victory = true;
        u.statistic = QStringLiteral("...VICTORY !!!");
    }
    return u;
}

}  // namespace morvast
