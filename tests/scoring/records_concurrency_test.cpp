// Several copies of the game sharing one records file, as from a network folder.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "records_generations.h"
#include "scoring/records.h"

namespace morvast {
namespace {

const QString kHelper = QStringLiteral(RECORDS_HELPER);

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int runHelper(const QStringList& args) {
    QProcess p;
    p.start(kHelper, args);
    if (!p.waitForFinished(120000)) return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
}

TEST(RecordsConcurrency, EightCopiesFinishingTogetherAllKeepTheirRows) {
    QTemporaryDir dir;
    const RecordsFile file(dir.path());
    constexpr int kRounds = 6;
    constexpr int kCopies = 8;
    QStringList expected{"Zevok"};
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::unique_ptr<QProcess>> copies;
        for (int c = 0; c < kCopies; ++c) {
            const QString name = QStringLiteral("r%1c%2").arg(round).arg(c);
            expected << name;
            copies.push_back(std::make_unique<QProcess>());
            copies.back()->start(
                kHelper, {"insert", dir.path(), name, QString::number(1 + round * kCopies + c)});
        }
        for (auto& p : copies) {
            ASSERT_TRUE(p->waitForFinished(120000));
            EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p->exitCode(), 0);
        }
    }
    const RecordsTable t = parseRecords(readAll(file.path()));
    QStringList names = t.colNames;
    names.sort();
    expected.sort();
    EXPECT_EQ(names, expected);
    // Each copy ranked its row against all the others: the table is still best first.
    for (int i = 1; i < t.count(); ++i)
        EXPECT_GE(t.colScores[i - 1], t.colScores[i]);
}

TEST(RecordsConcurrency, WriterKilledAtRandomMomentsLeavesAWholeTable) {
    QTemporaryDir dir;
    const RecordsFile file(dir.path());
    ASSERT_TRUE(file.WriteRecords(testing::generationTable(0)));
    QRandomGenerator rnd(20261206);
    for (int kill = 0; kill < 20; ++kill) {
        QProcess writer;
        writer.start(kHelper, {"churn", dir.path()});
        ASSERT_TRUE(writer.waitForStarted());
        QThread::usleep(rnd.bounded(2000, 60000));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished());

        const RecordsTable t = parseRecords(readAll(file.path()));
        ASSERT_EQ(t.count(), kMaxRecords) << "after kill " << kill;
        const int g = t.colNames[0].mid(1, t.colNames[0].indexOf('-') - 1).toInt();
        EXPECT_EQ(readAll(file.path()), encodeRecords(testing::generationTable(g)))
            << "after kill " << kill;
    }
    // The lock of a killed writer does not keep the next copy out.
    EXPECT_EQ(runHelper({"insert", dir.path(), "After", "2000000"}), 0);
    EXPECT_EQ(parseRecords(readAll(file.path())).colNames.first(), QStringLiteral("After"));
}

TEST(RecordsConcurrency, FullDiskInTheMiddleOfAWriteKeepsTheOldTable) {
    QTemporaryDir dir;
    const RecordsFile file(dir.path());
    ASSERT_TRUE(file.WriteRecords(testing::generationTable(7)));
    const QByteArray before = readAll(file.path());
    // Room for half the new table only.
    EXPECT_EQ(
        runHelper({"limited", dir.path(), "Full", "5000000", QString::number(before.size() / 2)}),
        3);
    EXPECT_EQ(readAll(file.path()), before);
}

}  // namespace
}  // namespace morvast
