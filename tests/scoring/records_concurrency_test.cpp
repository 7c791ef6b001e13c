// Several copies of the game sharing one records file, as from a network folder.
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace morvast
