// Several copies of the game sharing one records file, as from a network folder.
#include <QCryptographicHash>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include "records_support.h"

namespace morvast {
namespace {

using testing::readAll;

int exitCodeOf(QProcess& p) {
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

int runHelper(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(RECORDS_HELPER), args);
    return exitCodeOf(p);
}

TEST(RecordsConcurrency, WriterKilledAtRandomMomentsLeavesAWholeTable) {
    QTemporaryDir dir;
    const RecordsFile file(dir.path());
    ASSERT_TRUE(file.WriteRecords(testing::generationTable(0)));
    QRandomGenerator rnd(20261206);
    for (int kill = 0; kill < 20; ++kill) {
        QProcess writer;
        writer.start(QStringLiteral(RECORDS_HELPER), {"churn", dir.path()});
        ASSERT_TRUE(writer.waitForStarted());
        QThread::usleep(rnd.bounded(2000, 60000));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished());
        // The first name carries the generation of the one whole table the file must be.
        const QByteArray bytes = readAll(file.path());
        const int g = bytes.mid(1, bytes.indexOf('-') - 1).toInt();
        EXPECT_EQ(bytes, encodeRecords(testing::generationTable(g))) << "kill " << kill;
    }
    // A killed writer's lock does not keep the next copy out.
    EXPECT_EQ(runHelper({"insert", dir.path(), "After", "2000000"}), 0);
    const QByteArray before = readAll(file.path());
    EXPECT_EQ(parseRecords(before).colNames.first(), QStringLiteral("After"));
    {  // a disk that fills up in the middle of a write leaves the old table
        testing::FileSizeLimit full(before.size() / 2);
        RecordsTable t;
        EXPECT_FALSE(file.InsertRecord(t, 5000000, [] { return QStringLiteral("Full"); }).written);
    }
    EXPECT_EQ(readAll(file.path()), before);
}

TEST(RecordsConcurrency, ARewriteInPlaceKilledAtAnyStepLeavesTheOldRowsOrTheNew) {
    QTemporaryDir dir;
    const QString path = dir.filePath(RecordsFile::kFileName);
    const auto names = [&] { return parseRecords(readAll(path)).colNames; };
    const auto rows = testing::generationTable;  // the first n rows, as the helper writes them
    for (const auto& [oldRows, newRows] : {std::pair{99, 30}, std::pair{30, 99}}) {
        for (int step = 1;; ++step) {
            SCOPED_TRACE(::testing::Message()
                         << oldRows << " to " << newRows << " rows, step " << step);
            ASSERT_TRUE(testing::writeFile(path, encodeRecords(rows(1, oldRows))));
            const QString n = QString::number(step);
            const int code = runHelper({"tear", dir.path(), "2", QString::number(newRows), n});
            const QStringList left = names();
            EXPECT_TRUE(left == rows(1, oldRows).colNames || left == rows(2, newRows).colNames)
                << left.size();
            if (code == 0) {
                EXPECT_EQ(readAll(path), encodeRecords(rows(2, newRows)));
                break;
            }
            ASSERT_EQ(code, -1) << "killed";
            // The next writer, killed as early, starts from what the first one left.
            runHelper({"tear", dir.path(), "3", "50", n});
            const QStringList next = names();
            EXPECT_TRUE(next == left || next == rows(3, 50).colNames) << next.size();
        }
    }
}

TEST(RecordsConcurrency, AReplaceHeldBackCannotEraseTheRowOfACopyThatWroteMeanwhile) {
    QTemporaryDir dir;
    ASSERT_EQ(runHelper({"insert", dir.path(), "First", "10"}), 0);
    QProcess held;
    held.start(QStringLiteral(RECORDS_HELPER), {"stall", dir.path(), "Held", "3000"});
    ASSERT_TRUE(held.waitForReadyRead(60000));
    EXPECT_EQ(held.readLine().trimmed(), "stalled");
    // Gives up at once on the lock the held copy keeps, and writes.
    EXPECT_EQ(runHelper({"quick", dir.path(), "Meanwhile", "2000"}), 0);
    held.write("go\n");
    held.closeWriteChannel();
    EXPECT_EQ(exitCodeOf(held), 0);
    EXPECT_EQ(parseRecords(readAll(dir.filePath(RecordsFile::kFileName))).colNames,
              QStringList({"Held", "Meanwhile", "First", "Zevok"}));
}

TEST(RecordsConcurrency, AFiftyMegabyteTableCostsACopyNoMoreThanItsBestRowsAndIsKeptWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(RecordsFile::kFileName);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < 2000000; ++i)
            f.write("player" + QByteArray::number(i) + "\r\n " + QByteArray::number(10000000 - i) +
                    " \r\n");
    }
    ASSERT_GT(QFileInfo(path).size(), 50000000);
    const auto sha1 = [&] {  // streamed: 50 MB held here would count for the copies
        QFile f(path);
        QCryptographicHash h(QCryptographicHash::Sha1);
        return f.open(QIODevice::ReadOnly) && h.addData(&f) ? h.result() : QByteArray();
    };
    const QByteArray made = sha1();

    EXPECT_EQ(runHelper({"insert", dir.path(), "Low", "1"}), 2);  // not good enough
    EXPECT_EQ(sha1(), made);
#ifndef __SANITIZE_ADDRESS__  // whose shadow memory and quarantine say nothing about the game
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    EXPECT_LT(children.ru_maxrss, 40 * 1024) << "KiB at most for one copy";
#endif

    EXPECT_EQ(runHelper({"insert", dir.path(), "High", "99999999"}), 0);
    const RecordsTable trimmed = parseRecords(readAll(path));
    EXPECT_EQ(trimmed.colNames.first(), QStringLiteral("High"));
    EXPECT_EQ(QFileInfo(path).size(), encodeRecords(trimmed).size());
}

}  // namespace
}  // namespace morvast
