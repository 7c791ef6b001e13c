#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

#include "settings/settings.h"

class QIODevice;

namespace morvast {

// The longest line the reader takes. Real lines are far shorter (a path at most a few thousand
// bytes); a longer one only comes from a damaged file and is a read failure, so a file with a
// huge line is never taken into memory whole.
inline constexpr qsizetype kMaxSettingsLine = 32 * 1024;

// The label line's text.
inline constexpr const char* kSettingsLabel = "morvast-music...";

// Lenient numbers are read by leadingNumber (files/leading_number.h).
// Strict number: the whole line, blanks aside, is a number in the system locale's format.
std::optional<double> strictNumber(const QString& line);
// True or False in any letter case, or a strict number (non-zero is true).
std::optional<bool> flagValue(const QString& line);

// The nearest integer of the type, a half going to the even neighbour; nullopt when it does not
// fit.
std::optional<int16_t> nearestInt16(double v);
std::optional<int32_t> nearestInt32(double v);
std::optional<uint8_t> nearestByte(double v);

// One line as the writer puts it, without its CR LF: " 2955 ", "-1500 ", "True", "False".
// Fractions of a coordinate carry the system locale's decimal separator.
QString numberText(int64_t v);
QString coordinateText(float v);
QString flagText(bool v);

// Reads the settings lines from the device into s, in file order. The device is read line by line
// and never past the last line needed. Lines end with CR LF or LF; the last one may have no end.
// On a failure returns false, leaves s partly filled and tells what failed in problem (line
// number and reason). Paths are left unresolved.
bool readSettings(QIODevice& in, Settings& s, QString* problem = nullptr);
// Parses the bytes of a whole file; the same rules.
bool parseSettings(const QByteArray& bytes, Settings& s, QString* problem = nullptr);

// The file's bytes for s: 58 to 66 lines, CR LF, system 8-bit encoding. Paths are written as
// their stored text.
QByteArray encodeSettings(const Settings& s);

// The 66 lines of the default file.
QByteArray defaultSettingsBytes();

}  // namespace morvast
