// Stands in for one copy of the game touching the shared records file, for the tests that
// start several at once or kill one in the middle of a write.
//   insert  <folder> <name> <score>             one finished game; exit 0 when the row is stored
//   churn   <folder>                            writes whole tables until it is killed
//   limited <folder> <name> <score> <maxbytes>  one finished game on a disk that fills up
#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>

#include "records_generations.h"
#include "scoring/records.h"

using namespace morvast;

namespace {

int insert(const QString& folder, const QString& name, int score) {
    RecordsFile file(folder);
    RecordsTable table;
    const InsertOutcome out =
        file.InsertRecord(table, score, [&] { return std::optional<QString>(name); });
    return out.written && out.row >= 0 ? 0 : 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() == 5 && a[1] == "insert") return insert(a[2], a[3], a[4].toInt());
    if (a.size() == 3 && a[1] == "churn") {
        RecordsFile file(a[2]);
        for (int g = 1;; ++g)
            file.WriteRecords(morvast::testing::generationTable(g));
    }
    if (a.size() == 6 && a[1] == "limited") {
        std::signal(SIGXFSZ, SIG_IGN);  // a full disk reports an error rather than a signal
        const rlim_t limit = a[5].toULongLong();
        const rlimit r{limit, limit};
        setrlimit(RLIMIT_FSIZE, &r);
        return insert(a[2], a[3], a[4].toInt()) == 0 ? 0 : 3;
    }
    return 64;
}
