#pragma once

#include <optional>

#include <QStringView>

namespace morvast {

// The number at the start of a line of the original's text files or of a typed box. Blanks and
// tabs are ignored wherever they stand; then an optional sign, digits with an optional "." and
// digits, an optional exponent (E or D). The point is "." whatever the locale; anything after
// the number is ignored, and a line without one gives 0. nullopt when the number is beyond a
// double. The records, the settings file and the sweep box all read numbers this one way.
std::optional<double> leadingNumber(QStringView line);

}  // namespace morvast
