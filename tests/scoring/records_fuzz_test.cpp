// Records files damaged every way an editor, a disk or another program can damage them, from a
// fixed seed: reading, listing, placing and inserting must neither crash, hang nor grow, and
// every row of the file that stays in the table must come back with its own bytes.
#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "records_support.h"
#include "files/shared_file.h"
#include "scoring/place.h"

namespace morvast {
namespace {

using testing::readAll;

// Scores no number type of the game holds, and lines that only look like numbers.
const QList<QByteArray> kOddScores =
    (QByteArray("99999999999999999999|1e400|-1e400|1e-400|nan|inf|-0|0x7fffffff|2147483648|"
                "-2147483649|1.7976931348623157e308|4.9e-324|+|-|.|1e|1e+| \t 12 \t|12abc|"
                "\xD9\xA1\xD9\xA2|") +
     QByteArray(5000, '9'))
        .split('|');
const QByteArray kNames[] = {
    "Zevok", "",     "  ",       "\xC8\xE2\xE0\xED",        "Пётр",
    "\xD0",  "a\rb", "\x98\x98", QByteArray("nul\0nul", 7), "\xEF\xBF\xBD"};

class Corpus {
  public:
    explicit Corpus(uint32_t seed) : rng_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    QByteArray bytes(int n) {
        QByteArray b(n, '\0');
        for (char& c : b)
            c = static_cast<char>(below(256));
        return b;
    }

    QByteArray table(int rows, const char* end) {
        QByteArray t;
        for (int i = 0; i < rows; ++i) {
            t += (below(3) ? QByteArray("p") + QByteArray::number(below(100000))
                           : kNames[below(std::size(kNames))]) +
                 end;
            t += (below(4) ? QByteArray::number(below(2000000) - 1000)
                           : kOddScores[below(int(kOddScores.size()))]) +
                 end;
        }
        return t;
    }

    // One damaged file of kind k.
    QByteArray file(int k) {
        QByteArray t = table(below(150), below(2) ? "\r\n" : "\n");
        switch (k % 5) {
            case 0:  // cut off anywhere
                return t.left(below(static_cast<int>(t.size()) + 1));
            case 1:  // not text at all
                return bytes(below(4096));
            case 2:  // bytes overwritten, line ends among them
                for (int n = below(20); n > 0 && !t.isEmpty(); --n)
                    t[below(static_cast<int>(t.size()))] = "\0\r\n\x98\xFF"[below(5)];
                return t;
            case 3:  // stray carriage returns
                return t.replace("\n", below(2) ? "\r\r\n" : "\n\r");
            default:  // no end on the last line
                return t.endsWith('\n') ? t.chopped(1) : t;
        }
    }

  private:
    std::mt19937 rng_;
};

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
    {
        QFile f(file.path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    RecordsTable t;
    ASSERT_EQ(file.ReadRecords(t), ReadStatus::Read);
    ASSERT_LE(t.count(), kMaxRecords);
    ASSERT_EQ(t.colScores.size(), t.count());
    // A name is never turned into replacement characters it did not hold.
    for (int i = 0; i < t.count(); ++i)
        EXPECT_TRUE(t.bytes[i].name->contains('\x98') ||
                    t.bytes[i].name->contains("\xEF\xBF\xBD") ||
                    !t.colNames[i].contains(QChar::ReplacementCharacter))
            << i;
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
    Corpus corpus(20261206);
    for (int k = 0; k < 250; ++k) {
        const int32_t s = k % 3 == 0 ? INT32_MAX : corpus.below(2000000);
        playOn(corpus.file(k), s, "case " + std::to_string(k));
        if (HasFatalFailure()) return;
    }
    const QByteArray mb(1 << 20, 'x');
    playOn(mb + "\n5\n", 7, "1 MB name");
    playOn("a\n" + QByteArray(1 << 20, '7') + "\nb\n3\n", 7, "1 MB score of digits");
    playOn(corpus.bytes(1 << 20).replace('\n', ' '), 7, "1 MB of bytes on one line");
    playOn(QByteArray("r\n100\n").repeated(kMaxRecords) + mb + "\n1\n", -5,
           "1 MB row past the shown rows, kept whole");
    playOn(QByteArray(1 << 20, '\0'), 1, "only NUL bytes");
    for (const char* tiny : {"", "\n", "\r\n\r\n", "\r", "x"})
        playOn(tiny, 1, "tiny file");
}

}  // namespace
}  // namespace morvast
