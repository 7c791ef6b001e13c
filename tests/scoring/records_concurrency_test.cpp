// Several copies of the game sharing one records file, as from a network folder.
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "records_generations.h"

namespace morvast {
namespace {

QByteArray bytesOf(const RecordsFile& file) {
    QFile f(file.path());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

RecordsTable onDisk(const RecordsFile& file) {
    return parseRecords(bytesOf(file));
}

int runHelper(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(RECORDS_HELPER), args);
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

TEST(RecordsConcurrency, EightCopiesFinishingTogetherAllKeepTheirRows) {
    QTemporaryDir dir;
    QStringList expected{"Zevok"};
    for (int round = 0; round < 6; ++round) {
        std::vector<std::unique_ptr<QProcess>> copies;
        for (int c = 0; c < 8; ++c) {
            expected << QStringLiteral("r%1c%2").arg(round).arg(c);
            copies.push_back(std::make_unique<QProcess>());
            copies.back()->start(
                QStringLiteral(RECORDS_HELPER),
                {"insert", dir.path(), expected.last(), QString::number(round * 8 + c + 1)});
        }
        for (auto& p : copies) {
            ASSERT_TRUE(p->waitForFinished(120000));
            EXPECT_EQ(p->exitCode(), 0);
        }
    }
    QStringList names = onDisk(RecordsFile(dir.path())).colNames;
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
        const RecordsTable t = onDisk(file);
        ASSERT_EQ(t.count(), kMaxRecords) << "after kill " << kill;
        const int g = t.colNames[0].section('-', 0, 0).mid(1).toInt();
        EXPECT_EQ(bytesOf(file), encodeRecords(testing::generationTable(g))) << kill;
    }
    // A killed writer's lock does not keep the next copy out.
    EXPECT_EQ(runHelper({"insert", dir.path(), "After", "2000000"}), 0);
    EXPECT_EQ(onDisk(file).colNames.first(), QStringLiteral("After"));
}

TEST(RecordsConcurrency, FullDiskInTheMiddleOfAWriteKeepsTheOldTable) {
    QTemporaryDir dir;
    const RecordsFile file(dir.path());
    ASSERT_TRUE(file.WriteRecords(testing::generationTable(7)));
    const QByteArray before = bytesOf(file);
    EXPECT_EQ(
        runHelper({"limited", dir.path(), "Full", "5000000", QString::number(before.size() / 2)}),
        3);
    EXPECT_EQ(bytesOf(file), before);
}

}  // namespace
}  // namespace morvast
