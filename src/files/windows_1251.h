#pragma once

#include <QByteArrayView>
#include <QString>

namespace morvast {

// Windows-1251, the code page the original wrote its files in: copies on Windows still do.
QString fromWindows1251(QByteArrayView bytes);

// A line of a shared text file as text: in the system encoding where the bytes are valid in it,
// otherwise as Windows-1251, so names written by copies on Windows read as they were meant.
QString decodeSharedLine(QByteArrayView bytes);

}  // namespace morvast
