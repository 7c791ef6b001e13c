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

// n rows scoring n*10 down to 10.
RecordsTable descending(int n) {
    RecordsTable t;
    for (int i = 0; i < n; ++i)
        t.append(QStringLiteral("r%1").arg(i + 1), (n - i) * 10);
    return t;
}

NameAsker answer(std::optional<QString> name, int* calls) {
    return [name, calls] { return ++*calls, name; };
}

class RecordsFileTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    RecordsFile file{dir.path()};
    RecordsTable t;
    int asked = 0;
};

TEST_F(RecordsFileTest, FileFormatByteForByte) {
    EXPECT_EQ(file.ReadRecords(t), ReadStatus::Created);
    EXPECT_EQ(readAll(file.path()), QByteArray("Zevok\r\n0\r\n"));
    EXPECT_EQ(t.colNames, QStringList({"Zevok"}));

    t.ClearRecords();
    t.append(QStringLiteral("Иван"), 123456);
    t.append(QStringLiteral("two\r\nlines"), 0);
    ASSERT_TRUE(file.WriteRecords(t));
    EXPECT_EQ(readAll(file.path()),
              QStringLiteral("Иван\r\n 123456 \r\ntwo  lines\r\n 0 \r\n").toLocal8Bit());
    EXPECT_EQ(file.ReadRecords(t), ReadStatus::Read);
    EXPECT_EQ(t.colNames, QStringList({QStringLiteral("Иван"), QStringLiteral("two  lines")}));
    EXPECT_EQ(t.colScores, QList<double>({123456, 0}));
}

TEST(RecordsParse, LfOddLinesAndNumbersAtTheLineStart) {
    const RecordsTable t = parseRecords("a\n  42abc\r\nb\nx1\nc\n-3\nd\n 1.5 \ne\n 1E3\nlast");
    EXPECT_EQ(t.colNames, QStringList({"a", "b", "c", "d", "e", "last"}));
    EXPECT_EQ(t.colScores, QList<double>({42, 0, -3, 1.5, 1000, 0}));
    EXPECT_EQ(encodeRecords(parseRecords("n\n-3\nm\n1.5\n")),
              QByteArray("n\r\n-3 \r\nm\r\n 1.5 \r\n"));
}

TEST_F(RecordsFileTest, UnreadableFileIsNeverReplaced) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(RecordsFile::kFileName));  // exists, cannot be read
    EXPECT_EQ(file.ReadRecords(t), ReadStatus::Unreadable);
    EXPECT_EQ(t.colNames, QStringList({"Zevok"}));
    const InsertOutcome out = file.InsertRecord(t, 500, answer("Ann", &asked));
    EXPECT_FALSE(out.written);
    EXPECT_TRUE(QFileInfo(file.path()).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

TEST_F(RecordsFileTest, ReadsAgainBeforeInsertingAndAgainAfterTheNameSoNoRowIsLost) {
    ASSERT_TRUE(file.WriteRecords(descending(3)));  // 30, 20, 10; this copy's table is empty
    const InsertOutcome out = file.InsertRecord(t, 20, [&]() -> std::optional<QString> {
        RecordsTable other = parseRecords(readAll(file.path()));  // another copy finishes
        other.insert("Other", 25);
        EXPECT_TRUE(file.WriteRecords(other));
        return QStringLiteral("Me");
    });
    EXPECT_EQ(out.row, 3);  // below the equal score
    EXPECT_EQ(t.colNames, QStringList({"r1", "Other", "r2", "Me", "r3"}));
    EXPECT_EQ(parseRecords(readAll(file.path())).colNames, t.colNames);
}

TEST_F(RecordsFileTest, FullTableLowScoreOrCancelStoresNothingButWritesTheFileAgain) {
    ASSERT_TRUE(file.WriteRecords(descending(99)));
    InsertOutcome out = file.InsertRecord(t, 15, answer("Late", &asked));
    EXPECT_EQ(out.row, 98);
    EXPECT_EQ(t.colNames.last(), QStringLiteral("Late"));
    EXPECT_EQ(readAll(file.path()).count("\r\n"), 198);

    // Rewritten means LF turns into CR LF again.
    const QByteArray crlf = readAll(file.path());
    writeAll(file.path(), QByteArray(crlf).replace("\r\n", "\n"));
    out = file.InsertRecord(t, 15, answer("Low", &asked));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(out.asked);
    EXPECT_TRUE(out.written);
    EXPECT_EQ(readAll(file.path()), crlf);

    writeAll(file.path(), QByteArray(crlf).replace("\r\n", "\n"));
    out = file.InsertRecord(t, 5000, answer(std::nullopt, &asked));
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(out.row, -1);
    EXPECT_EQ(readAll(file.path()), crlf);
}

TEST(RecordsList, NamesLineUpForRowsOneTo99) {
    EXPECT_EQ(recordsListLine(1, "Zevok", 0), QStringLiteral("1. Zevok          0"));
    EXPECT_EQ(recordsListLine(10, "UnNamed", 275), QStringLiteral("10.UnNamed        275"));
    EXPECT_EQ(recordsListLine(99, "abcdefghij", 123456),
              QStringLiteral("99.abcdefghij     123456"));
    const QStringList lines = FillRecordsList(descending(99));
    for (int i = 0; i < 99; ++i) {
        EXPECT_EQ(lines[i].indexOf(QStringLiteral("r%1").arg(i + 1)), 3);
        EXPECT_EQ(lines[i].size(), 18 + QString::number((99 - i) * 10).size());
    }
    // Hand-edited rows: a long name keeps a blank before the score, a break stays on the line.
    EXPECT_EQ(recordsListLine(2, "A name of 19 chars.", 1234567),
              QStringLiteral("2. A name of 19 chars. 1234567"));
    EXPECT_EQ(recordsListLine(3, "a\nb", 1), QStringLiteral("3. a b            1"));
}

}  // namespace
}  // namespace morvast
