// Records files damaged every way an editor, a disk or another program can damage them, from a
// fixed seed: reading, listing, placing and inserting must neither crash, hang nor grow, and
// every row of the file that stays in the table must come back with its own bytes.
#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>

#include "records_support.h"
#include "files/shared_file.h"
#include "scoring/place.h"

namespace morvast {
namespace {

using testing::readAll;

// A table of up to 150 rows, a third of the names any bytes and a quarter of the scores odd,
// damaged.
QByteArray damagedTable(testing::Damage& d) {
    QByteArray t;
    const char* end = d.below(2) ? "\r\n" : "\n";
    for (int i = d.below(150); i > 0; --i) {
        t += (d.below(3) ? "p" + QByteArray::number(d.below(100000))
                         : d.bytes(d.below(8)).replace('\n', ' ')) +
             end;
        t += (d.below(4) ? QByteArray::number(d.below(2000000) - 1000) : d.oddNumber()) + end;
    }
    return d(t);
}

// A file's lines as a reader sees them: LF ends a line, a CR before it goes with it, a line that
// begins with NUL ends the file, and a last name without its score line gets the one a write
// adds.
QList<QByteArray> linesOf(const QByteArray& bytes) {
    QBuffer b;
    b.setData(bytes);
    b.open(QIODevice::ReadOnly);
    skipToCurrentContent(b);
    QList<QByteArray> lines = b.readAll().split('\n');
    if (lines.last().isEmpty()) lines.removeLast();
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith('\0')) lines.resize(i);
    for (QByteArray& l : lines)
        if (l.endsWith('\r')) l.chop(1);
    if (lines.size() % 2 != 0) lines.append(" 0 ");
    return lines;
}

void playOn(const QByteArray& bytes, int32_t s, const std::string& what) {
    SCOPED_TRACE(what);
    QTemporaryDir dir;
    const RecordsFile file(dir.path(), 0);
    ASSERT_TRUE(testing::writeFile(file.path(), bytes));
    RecordsTable t;
    ASSERT_EQ(file.ReadRecords(t), ReadStatus::Read);
    ASSERT_LE(t.count(), kMaxRecords);
    ASSERT_EQ(t.colScores.size(), t.count());
    EXPECT_EQ(FillRecordsList(t).size(), t.count());
    UpdatePlace(INT32_MAX, startPlace(t.count()).intPlace, t.colScores);

    const InsertOutcome out = file.InsertRecord(t, s, [] { return QStringLiteral("Fuzz"); });
    ASSERT_TRUE(out.written);
    ASSERT_LE(t.count(), kMaxRecords);
    QList<QByteArray> now = linesOf(readAll(file.path()));
    QList<QByteArray> before = linesOf(bytes);
    if (out.row >= 0) {
        ASSERT_LT(2 * out.row + 1, now.size());
        EXPECT_EQ(now[2 * out.row], "Fuzz");
        EXPECT_EQ(now[2 * out.row + 1], " " + QByteArray::number(s) + " ");
        now.remove(2 * out.row, 2);
        before = before.mid(0, 2 * (kMaxRecords - 1));
    }
    // An over-long line of a row in the table is kept cut (never inside a UTF-8 character).
    for (qsizetype i = 0; i < std::min({now.size(), before.size(), 2 * qsizetype(kMaxRecords)});
         ++i)
        if (before[i].size() > kMaxRecordLine && before[i].startsWith(now[i]) &&
            now[i].size() > kMaxRecordLine - 4 && now[i].size() <= kMaxRecordLine)
            now[i] = before[i];
    EXPECT_EQ(now, before);
}

TEST(RecordsDamagedFiles, NeitherCrashNorHangNorLoseTheBytesOfAnyRowKept) {
    testing::Damage damage(20261206, kMaxRecordLine);
    for (int k = 0; k < 250; ++k) {
        const int32_t s = k % 3 == 0 ? INT32_MAX : damage.below(2000000);
        playOn(damagedTable(damage), s, "case " + std::to_string(k));
        if (HasFatalFailure()) return;
    }
    playOn("a\n" + QByteArray(1 << 20, '7') + "\nb\n3\n", 7, "1 MB score of digits");
    playOn(damage.bytes(1 << 20).replace('\n', ' '), 7, "1 MB of bytes on one line");
    playOn(QByteArray("r\n100\n").repeated(kMaxRecords) + QByteArray(1 << 20, 'x') + "\n1\n", -5,
           "1 MB row past the shown rows, kept whole");
    playOn(QByteArray(1 << 20, '\0'), 1, "only NUL bytes");
    for (const char* tiny : {"", "\n", "\r\n\r\n", "\r", "x"})
        playOn(tiny, 1, "tiny file");
}

}  // namespace
}  // namespace morvast
