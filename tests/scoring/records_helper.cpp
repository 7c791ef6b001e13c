// Stands in for one copy of the game touching the shared records file, for the tests that
// start several at once or kill one in the middle of a write.
//   insert  <folder> <name> <score>             one finished game; exit 0 when the row is stored,
//                                               4 when no name was asked as the table cannot keep
//                                               it; the notice for the player goes to stdout
//   quick   <folder> <name> <score>             as insert, not waiting for another copy's lock
//   stall   <folder> <name> <score>             as insert, its new table held back before it
//                                               takes the old one's place until a line comes
//                                               on stdin ("stalled" on stdout says so)
//   churn   <folder>                            writes whole tables until it is killed
//   tear    <folder> <g> <rows> <n>             rewrites the table in place with the first rows
//                                               of generation g, killed at the nth step
#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <utility>

#include "files/shared_file.h"
#include "records_support.h"

using namespace morvast;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() == 3 && a[1] == "churn") {
        for (int g = 1;; ++g)
            RecordsFile(a[2]).WriteRecords(testing::generationTable(g));
    }
    if (a.size() == 6 && a[1] == "tear") {
        int steps = a[5].toInt();
        setWriteSeam(
            [&](WriteStep) {
                if (--steps == 0) raise(SIGKILL);
            },
            128, true);
        const RecordsTable t = testing::generationTable(a[3].toInt(), a[4].toInt());
        return RecordsFile(a[2]).WriteRecords(t) ? 0 : 2;
    }
    if (a.size() == 5 && a[1] == "stall") {
        setWriteSeam([stalled = false](WriteStep s) mutable {
            if (s != WriteStep::BeforeReplace || std::exchange(stalled, true)) return;
            std::puts("stalled");
            std::fflush(stdout);
            char line[8];
            [[maybe_unused]] const char* go = std::fgets(line, sizeof line, stdin);
        });
    } else if (a.size() != 5 || (a[1] != "insert" && a[1] != "quick")) {
        return 64;
    }
    RecordsTable table;
    const InsertOutcome out =
        RecordsFile(a[2], a[1] == "quick" ? 0 : 30000).InsertRecord(table, a[4].toInt(), [&] {
            return std::optional<QString>(a[3]);
        });
    std::fputs(out.notice.toUtf8().constData(), stdout);
    if (out.unwritable) return 4;
    return out.written && out.row >= 0 ? 0 : 2;
}
