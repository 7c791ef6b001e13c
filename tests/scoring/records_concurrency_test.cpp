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

TEST(RecordsConcurrency, EightCopiesFinishingTogetherAllKeepTheirRows) {
    QTemporaryDir dir;
    QStringList expected{"Zevok"};
    for (int round = 0; round < 6; ++round) {
        QProcess copies[8];
        for (int c = 0; c < 8; ++c) {
            expected << QStringLiteral("r%1c%2").arg(round).arg(c);
            copies[c].start(QStringLiteral(RECORDS_HELPER), {"insert", dir.path(), expected.last(),
                                                             QString::number(expected.size())});
        }
        for (QProcess& p : copies)
            EXPECT_EQ(exitCodeOf(p), 0);
    }
    QStringList names = parseRecords(readAll(dir.filePath(RecordsFile::kFileName))).colNames;
    names.sort();
    expected.sort();
    EXPECT_EQ(names, expected);
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
    EXPECT_EQ(parseRecords(readAll(file.path())).colNames.first(), QStringLiteral("After"));
}

TEST(RecordsConcurrency, FullDiskInTheMiddleOfAWriteKeepsTheOldTable) {
    QTemporaryDir dir;
    const RecordsFile file(dir.path());
    ASSERT_TRUE(file.WriteRecords(testing::generationTable(7)));
    const QByteArray before = readAll(file.path());
    const QString half = QString::number(before.size() / 2);
    EXPECT_EQ(runHelper({"limited", dir.path(), "Full", "5000000", half}), 3);
    EXPECT_EQ(readAll(file.path()), before);
}

TEST(RecordsConcurrency, AFiftyMegabyteTableCostsACopyNoMoreThanItsBestRowsAndIsKeptWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(RecordsFile::kFileName);
    QCryptographicHash made(QCryptographicHash::Sha1);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray chunk;
        for (int i = 0; i < 2000000; ++i) {
            chunk += "player" + QByteArray::number(i) + "\r\n " + QByteArray::number(10000000 - i) +
                     " \r\n";
            if (chunk.size() > (1 << 20) || i == 1999999) {
                made.addData(chunk);
                ASSERT_EQ(f.write(chunk), chunk.size());
                chunk.clear();
            }
        }
    }
    const qint64 size = QFileInfo(path).size();
    ASSERT_GT(size, 50000000);

    EXPECT_EQ(runHelper({"insert", dir.path(), "Low", "1"}), 2);  // not good enough
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QCryptographicHash kept(QCryptographicHash::Sha1);
    ASSERT_TRUE(kept.addData(&f));
    EXPECT_EQ(kept.result(), made.result());
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
