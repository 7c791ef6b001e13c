#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

#include "../common/test_files.h"
#include "settings/settings_format.h"

namespace morvast {

// Failure messages show the values as the file would hold them.
inline void PrintTo(const Settings& s, std::ostream* os) {
    *os << encodeSettings(s).replace("\r\n", " | ").toStdString();
}

}  // namespace morvast

namespace morvast::testing {

// The default file's 66 lines, written out independently of the writer.
inline QByteArray defaultFileText() {
    QByteArray t =
        " 2955 \r\n 1560 \r\nTrue\r\n 9905 \r\n 7605 \r\nTrue\r\n 11530 \r\n 1560 \r\n"
        "True\r\n 9905 \r\n 1560 \r\nTrue\r\n 9905 \r\n 5872 \r\nTrue\r\n"
        "morvast-music...\r\n...\r\nTrue\r\n-1500 \r\n 13500 \r\n";
    for (int i = 0; i < 10; ++i)
        t += "...\r\nTrue\r\n-1500 \r\n 15000 \r\n";
    t += "...\r\nTrue\r\nTrue\r\n 0 \r\n 1 \r\nTrue\r\n";
    return t;
}

}  // namespace morvast::testing
