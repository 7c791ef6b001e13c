#pragma once

#include <QString>

namespace morvast {

// Splitting a stored path at its last separator. Stored paths may come from a copy on another
// system, so "\" and "/" both count as separators.

// The part after the last separator: the file name. A path without a separator is all name.
QString GetFileName(const QString& FullFileName);

// The part up to and including the last separator: the folder. Empty when there is none.
QString GetFilePath(const QString& path);

}  // namespace morvast
