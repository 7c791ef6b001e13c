#include "scoring/records.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace morvast {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A table of n rows with scores n*10, (n-1)*10, ... 10.
RecordsTable descending(int n) {
    RecordsTable t;
    for (int i = 0; i < n; ++i)
        t.append(QStringLiteral("r%1").arg(i + 1), (n - i) * 10);
    return t;
}

NameAsker answer(const QString& name, int* calls) {
    return [name, calls]() -> std::optional<QString> {
        ++*calls;
        return name;
    };
}

class RecordsFileTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    RecordsFile file{dir.path()};
};

TEST_F(RecordsFileTest, MissingFileIsCreatedWithTheDefaultRowAndReadBack) {
    RecordsTable t;
    t.append(QStringLiteral("stale"), 5);
    EXPECT_EQ(file.ReadRecords(t), ReadStatus::Created);
    EXPECT_EQ(readAll(file.path()), QByteArray("Zevok\r\n0\r\n"));
    ASSERT_EQ(t.count(), 1);
    EXPECT_EQ(t.colNames[0], QStringLiteral("Zevok"));
    EXPECT_EQ(t.colScores[0], 0);
}

TEST_F(RecordsFileTest, WrittenBytesAreNameLineThenBlankedScoreLineWithCrLf) {
    RecordsTable t;
    t.append(QStringLiteral("Иван"), 123456);
    t.append(QStringLiteral("Zevok"), 0);
    t.append(QStringLiteral("two\r\nlines"), 7);
    ASSERT_TRUE(file.WriteRecords(t));
    const QByteArray expected =
        QStringLiteral("Иван\r\n 123456 \r\nZevok\r\n 0 \r\ntwo  lines\r\n 7 \r\n").toLocal8Bit();
    EXPECT_EQ(readAll(file.path()), expected);

    RecordsTable back;
    EXPECT_EQ(file.ReadRecords(back), ReadStatus::Read);
    EXPECT_EQ(back.colNames, QStringList({QStringLiteral("Иван"), QStringLiteral("Zevok"),
                                          QStringLiteral("two  lines")}));
    EXPECT_EQ(back.colScores, QList<double>({123456, 0, 7}));
}

TEST(RecordsParse, AcceptsLfAndOddLinesAndReadsScoresLikeNumbersAtTheLineStart) {
    const RecordsTable t = parseRecords("a\n  42abc\r\nb\nx1\nc\n-3\nd\n 1.5 \ne\n 1E3\nlast");
    EXPECT_EQ(t.colNames, QStringList({"a", "b", "c", "d", "e", "last"}));
    EXPECT_EQ(t.colScores, QList<double>({42, 0, -3, 1.5, 1000, 0}));
    EXPECT_EQ(parseRecords("").count(), 0);
    // Hand-written scores keep their own look on the way back out.
    EXPECT_EQ(encodeRecords(parseRecords("n\n-3\nm\n1.5\n")),
              QByteArray("n\r\n-3 \r\nm\r\n 1.5 \r\n"));
}

TEST_F(RecordsFileTest, UnreadableFileIsNeverReplaced) {
    // A folder in the file's place exists but cannot be read.
    ASSERT_TRUE(QDir(dir.path()).mkdir(RecordsFile::kFileName));
    RecordsTable t;
    EXPECT_EQ(file.ReadRecords(t), ReadStatus::Unreadable);
    EXPECT_EQ(t.colNames, QStringList({"Zevok"}));

    int asked = 0;
    const InsertOutcome out = file.InsertRecord(t, 500, answer("Ann", &asked));
    EXPECT_FALSE(out.written);
    EXPECT_EQ(out.row, -1);
    EXPECT_TRUE(QFileInfo(file.path()).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

TEST_F(RecordsFileTest, EqualScoresGoBelowAndTheTableIsReadAgainEvenWhenEmptyInMemory) {
    RecordsTable onDisk;
    onDisk.append("A", 500);
    onDisk.append("B", 300);
    onDisk.append("C", 100);
    ASSERT_TRUE(file.WriteRecords(onDisk));

    RecordsTable t;  // this copy started before the file held anything
    int asked = 0;
    const InsertOutcome out = file.InsertRecord(t, 300, answer("New", &asked));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(out.row, 2);
    EXPECT_TRUE(out.written);
    EXPECT_EQ(t.colNames, QStringList({"A", "B", "New", "C"}));
    EXPECT_EQ(parseRecords(readAll(file.path())).colNames, t.colNames);
}

TEST_F(RecordsFileTest, RowWrittenByAnotherCopyWhileTheNameIsAskedIsKeptAndRanked) {
    ASSERT_TRUE(file.WriteRecords(descending(3)));  // 30, 20, 10
    RecordsTable t;
    const InsertOutcome out = file.InsertRecord(t, 15, [&]() -> std::optional<QString> {
        // Another copy finishes its game while this player types.
        RecordsTable other = parseRecords(readAll(file.path()));
        other.insert("Other", 25);
        EXPECT_TRUE(file.WriteRecords(other));
        return QStringLiteral("Me");
    });
    EXPECT_EQ(out.row, 3);
    EXPECT_EQ(t.colNames, QStringList({"r1", "Other", "r2", "Me", "r3"}));
    EXPECT_EQ(parseRecords(readAll(file.path())).colNames, t.colNames);
}

TEST_F(RecordsFileTest, FullTableDropsItsLastRowOrAsksNoNameForALowScore) {
    ASSERT_TRUE(file.WriteRecords(descending(99)));  // 990 ... 10
    RecordsTable t;
    int asked = 0;
    InsertOutcome out = file.InsertRecord(t, 15, answer("Late", &asked));
    EXPECT_EQ(out.row, 98);
    EXPECT_EQ(t.count(), 99);
    EXPECT_EQ(t.colNames.last(), QStringLiteral("Late"));
    EXPECT_EQ(readAll(file.path()).count("\r\n"), 198);

    // Not better than the last row: no name, but the file is written again (LF becomes CR LF).
    QByteArray lfOnly = readAll(file.path());
    lfOnly.replace("\r\n", "\n");
    writeAll(file.path(), lfOnly);
    asked = 0;
    out = file.InsertRecord(t, 15, answer("Low", &asked));
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(out.asked);
    EXPECT_TRUE(out.written);
    EXPECT_EQ(out.row, -1);
    EXPECT_EQ(readAll(file.path()), encodeRecords(t));
    EXPECT_EQ(t.colNames.last(), QStringLiteral("Late"));
}

TEST_F(RecordsFileTest, CancelledNameStoresNothingButTheFileIsWrittenAgain) {
    writeAll(file.path(), "A\n 50 \n");
    RecordsTable t;
    const InsertOutcome out = file.InsertRecord(t, 80, [] { return std::optional<QString>(); });
    EXPECT_TRUE(out.asked);
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(out.row, -1);
    EXPECT_TRUE(out.written);
    EXPECT_EQ(readAll(file.path()), QByteArray("A\r\n 50 \r\n"));
}

TEST(RecordsList, LinesLineUpNamesForRowsOneTo99) {
    EXPECT_EQ(recordsListLine(1, "Zevok", 0), QStringLiteral("1. Zevok          0"));
    EXPECT_EQ(recordsListLine(9, "Ann", 123456), QStringLiteral("9. Ann            123456"));
    EXPECT_EQ(recordsListLine(10, "UnNamed", 275), QStringLiteral("10.UnNamed        275"));
    EXPECT_EQ(recordsListLine(99, "abcdefghij", 5), QStringLiteral("99.abcdefghij     5"));

    const QStringList lines = FillRecordsList(descending(99));
    ASSERT_EQ(lines.size(), 99);
    for (int i = 0; i < 99; ++i) {
        const QString name = QStringLiteral("r%1").arg(i + 1);
        EXPECT_EQ(lines[i].indexOf(name), 3) << lines[i].toStdString();
        EXPECT_EQ(lines[i].size(), 3 + 15 + QString::number((99 - i) * 10).size());
    }
    // Beyond ordinary rows: a long name still leaves a blank, a break stays on the line.
    EXPECT_EQ(recordsListLine(2, "A name of twenty ch", 1234567),
              QStringLiteral("2. A name of twenty ch 1234567"));
    EXPECT_EQ(recordsListLine(3, "a\nb", 1), QStringLiteral("3. a b            1"));
}

TEST(RecordsTableInsert, HandEditedTableLongerThan99KeepsTheBest99) {
    RecordsTable t = descending(120);
    EXPECT_EQ(t.insert("Top", 5000), 0);
    EXPECT_EQ(t.count(), 99);
    EXPECT_EQ(t.insert("Low", 1), -1);
    EXPECT_EQ(t.count(), 99);
}

}  // namespace
}  // namespace morvast
