#pragma once

#include "../common/test_files.h"
#include "scoring/records.h"

namespace morvast::testing {

// The first rows of the table that the churning writer writes in its generation g, every name
// carrying g, so a file can be matched with the one whole table it must be.
inline RecordsTable generationTable(int g, int rows = kMaxRecords) {
    RecordsTable t;
    for (int i = 0; i < rows; ++i)
        t.append(QStringLiteral("g%1-%2").arg(g).arg(i), 1000000 - i * 7 - g % 5);
    return t;
}

}  // namespace morvast::testing
