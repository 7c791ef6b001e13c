#pragma once

#include <QString>

namespace morvast {

// The game's id: the name of its data folder, desktop entry, icon and metadata.
inline constexpr const char* kGameId = MORVAST_GAME_ID;

// The folder that holds the program and its default media.
QString programFolder();

// Where the records table and the settings file live. A copy whose program folder it can write
// (a build folder, a copied or shared folder) keeps them beside the program, so every copy
// started from that folder shares the records. An installed copy cannot write there and keeps
// them in the player's data folder: xdgDataHome/<id> when that is an absolute path, else
// home/.local/share/<id>.
QString chooseDataFolder(const QString& programFolder, const QString& xdgDataHome,
                         const QString& home);

// The choice for this run, made at the first call from the environment and kept; a data folder
// outside the program folder is created here (owner only), as the first use needs it.
QString dataFolder();

// Full path of a file given relative to the program folder. Accepts "\" and "/" as separators
// and finds each component case-insensitively when the exact spelling does not exist, so that
// "Sound\bkgmusic.WAV" reaches "sound/bkgmusic.WAV".
QString resolveProgramPath(const QString& relative);
QString resolvePath(const QString& base, const QString& relative);

}  // namespace morvast
