#pragma once

#include <QString>

namespace morvast {

// The folder that holds the program: every file the game reads or writes lives there.
QString programFolder();

// Full path of a file given relative to the program folder. Accepts "\" and "/" as separators
// and finds each component case-insensitively when the exact spelling does not exist, so that
// "Sound\bkgmusic.WAV" reaches "sound/bkgmusic.WAV".
QString resolveProgramPath(const QString& relative);
QString resolvePath(const QString& base, const QString& relative);

}  // namespace morvast
