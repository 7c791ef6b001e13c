#include "scoring/records.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

#include <sys/stat.h>
#include <unistd.h>

#include "files/shared_file.h"
#include "records_support.h"
#include "scoring/place.h"

namespace morvast {
namespace {

using testing::readAll;

// n rows scoring n*10 down to 10.
RecordsTable descending(int n) {
    RecordsTable t;
    for (int i = 0; i < n; ++i)
        t.append(QStringLiteral("r%1").arg(i + 1), (n - i) * 10);
    return t;
}

class RecordsFileTest : public ::testing::Test {
  protected:
    InsertOutcome insert(int32_t s, std::optional<QString> name) {
        return file.InsertRecord(t, s, [&] { return ++asked, name; });
    }
    // The file with LF endings, so that a test sees whether it was written again.
    void writeLf(QByteArray bytes) {
        ASSERT_TRUE(testing::writeFile(file.path(), bytes.replace("\r\n", "\n")));
    }

    QTemporaryDir dir;
    RecordsFile file{dir.path()};
    RecordsTable t;
    int asked = 0;
};

TEST_F(RecordsFileTest, FileFormatByteForByte) {
    // A temporary file a killed copy left long ago goes at the first reading.
    QFile left(file.path() + ".Ab12Cd");
    ASSERT_TRUE(left.open(QIODevice::WriteOnly) &&
                left.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                 QFileDevice::FileModificationTime));
    left.close();
    EXPECT_EQ(file.ReadRecords(t), ReadStatus::Created);
    EXPECT_FALSE(left.exists());

    t.ClearRecords();
    t.append(QStringLiteral("Иван"), 123456);
    t.append(QStringLiteral("two\r\nlines"), 0);
    ASSERT_TRUE(file.WriteRecords(t));
    EXPECT_EQ(readAll(file.path()),
              QStringLiteral("Иван\r\n 123456 \r\ntwo  lines\r\n 0 \r\n").toLocal8Bit());

    // Hand-edited and foreign files: LF endings, Иван in Windows-1251 as copies on Windows write
    // it, a score no 32-bit number holds, text after a number, a last name without its score
    // line, cut at a whole character so that it still reads as UTF-8.
    t = parseRecords("\xC8\xE2\xE0\xED\n99999999999999999999\nb\r\n  42abc\na" +
                     QStringLiteral("Ж").repeated(40000).toUtf8());
    EXPECT_EQ(t.colNames, QStringList({"Иван", "b", "a" + QStringLiteral("Ж").repeated(16383)}));
    EXPECT_EQ(t.colScores, QList<double>({1e20, 42, 0}));
    EXPECT_EQ(FillRecordsList(t)[0], QStringLiteral("1. Иван           1e+20"));

    // Another copy that makes the table while this one makes the first keeps its own.
    const QTemporaryDir other;
    setWriteSeam([&](WriteStep s) {
        if (s == WriteStep::BeforeReplace)
            testing::writeFile(other.filePath(file.kFileName), "O\n5");
    });
    EXPECT_EQ(RecordsFile(other.path()).ReadRecords(t), ReadStatus::Read);
    setWriteSeam({});
    EXPECT_EQ(t.colNames, QStringList({"O"}));
}

TEST_F(RecordsFileTest, UnreadableFileIsNeverReplacedAndNoNameIsAskedForIt) {
    // A folder, and a pipe that would block the reader for ever.
    const QByteArray path = QFile::encodeName(file.path());
    const auto ask = [&] { return ++asked, QStringLiteral("Ann"); };
    for (bool pipe : {false, true}) {
        ASSERT_EQ(pipe ? mkfifo(path, 0666) : mkdir(path, 0777), 0);
        const RecordsFile f(dir.path());  // one that has told nothing yet
        EXPECT_EQ(f.ReadRecords(t), ReadStatus::Unreadable);
        EXPECT_EQ(t.colNames, QStringList({"Zevok"}));
        const InsertOutcome out = f.InsertRecord(t, 500, ask);
        EXPECT_TRUE(out.unwritable && !out.asked && !out.written && asked == 0);
        EXPECT_EQ(out.notice, f.unwritableReason());
        EXPECT_TRUE(out.notice.contains(RecordsFile::kFileName)) << out.notice.toStdString();
        EXPECT_TRUE(f.InsertRecord(t, 500, ask).notice.isEmpty());  // told once
        EXPECT_FALSE(f.takeNotice());
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
        ASSERT_EQ(pipe ? unlink(path) : rmdir(path), 0);
    }
}

TEST_F(RecordsFileTest, ANameThatIsNoFileAtTheLocksPlaceIsWaitedForThenTheRowIsWrittenAnyway) {
    ASSERT_TRUE(file.WriteRecords(descending(3)));
    const QByteArray lock = QFile::encodeName(file.lockPath());
    RecordsFile waiting(dir.path(), 300, 60000);
    // What another account may plant at the lock's name is held all the same but never opened (a
    // lock another copy holds is the window tests').
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(kind);
        ASSERT_EQ(kind == 0   ? mkfifo(lock, 0666)
                  : kind == 1 ? symlink("/dev/zero", lock)
                              : mkdir(lock, 0777),
                  0);
        int alive = 0;
        waiting.setKeepAlive([&] { return ++alive > 0; });
        const InsertOutcome out =
            waiting.InsertRecord(t, 25 + kind, [&]() -> std::optional<QString> {
                // Written while this copy asked the name: the row lands against it.
                RecordsTable other = parseRecords(readAll(file.path()));
                other.insert("Other", 15);
                EXPECT_TRUE(RecordsFile(dir.path(), 0).WriteRecords(other));
                return QStringLiteral("Me");
            });
        EXPECT_TRUE(out.written && out.notice.isEmpty());
        EXPECT_GE(alive, 4);  // called between short attempts, not once after a long wait
        EXPECT_TRUE(QFileInfo(file.lockPath()).isSymLink() || QFileInfo::exists(file.lockPath()));
        ASSERT_EQ(kind == 2 ? rmdir(lock) : unlink(lock), 0);
    }
    // Read again before inserting and after the name: neither this copy's empty table nor its
    // first reading loses a row.
    EXPECT_EQ(t.colNames,
              QStringList({"r1", "Me", "Me", "Me", "r2", "Other", "Other", "Other", "r3"}));
    EXPECT_EQ(parseRecords(readAll(file.path())).colNames, t.colNames);

    // A request to end the program stops the wait at once.
    ASSERT_EQ(mkfifo(lock, 0666), 0);
    RecordsFile ending(dir.path(), 600000);
    int asked = 0;
    ending.setKeepAlive([&] { return ++asked > 1 ? false : true; });
    EXPECT_TRUE(ending.InsertRecord(t, 1000, [] { return QStringLiteral("Late"); }).written);
    EXPECT_EQ(asked, 2);
}

TEST_F(RecordsFileTest, FullTableLowScoreOrCancelStoresNothingButWritesTheFileAgain) {
    ASSERT_TRUE(file.WriteRecords(descending(99)));
    EXPECT_EQ(insert(20, "Late").row, 98);  // below the equal score; the last row drops out
    const QByteArray full = readAll(file.path());
    EXPECT_EQ(full.count("\r\n"), 198);

    // Rows past the best 99 go through as they are, up to a line that begins with NUL (what a
    // writer killed in a rewrite used to leave); the last one is given its score line.
    writeLf(full + "past\n1\nlast\n" + QByteArray(15, '\0') + "\nx\n5\n");
    InsertOutcome out = insert(15, "Low");
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(!out.asked && out.written);
    EXPECT_EQ(readAll(file.path()), full + "past\r\n1\r\nlast\r\n 0 \r\n");

    // Such a line ends the table too.
    writeLf(QByteArray("Zevok\n0\n") + QByteArray(15, '\0') + "\nx\n5\n");
    out = insert(5000, std::nullopt);
    EXPECT_TRUE(out.cancelled && out.row == -1);
    EXPECT_EQ(readAll(file.path()), "Zevok\r\n0\r\n");
}

TEST(RecordsList, NamesLineUpForRowsOneTo99) {
    EXPECT_EQ(recordsListLine(10, "r10", 900), QStringLiteral("10.r10            900"));
    // Hand-edited rows: a long name keeps a blank before the score, a break stays on the line.
    EXPECT_EQ(recordsListLine(2, "A name of 19 chars.", 1234567),
              QStringLiteral("2. A name of 19 chars. 1234567"));
    EXPECT_EQ(recordsListLine(3, "a\nb", 1), QStringLiteral("3. a b            1"));
}

// One update as the main window applies it, on one line.
std::string shown(const PlaceUpdate& u) {
    const auto text = [](const std::optional<QString>& t) { return t ? t->toStdString() : "-"; };
    return std::to_string(u.intPlace) + " " + text(u.nextPlace) + " row " +
           std::to_string(u.selectRow) + " " + text(u.position) +
           (u.startMenuBlink ? " blink" : "") + (u.victory ? " victory " : " ") + text(u.statistic);
}

TEST(Place, EqualScoreWaitsAPointMorePassesClimbsSeveralRowsAndComparesNumbers) {
    EXPECT_EQ(startPlace(99).position, QString());
    const std::tuple<int64_t, int16_t, QList<double>, const char*> cases[] = {
        {0, 1, {0}, "1 Next Place : +0 row -1 - -"},
        {1, 1, {0}, "0 - row 0 Place # 1 blink victory ...VICTORY !!!"},
        {100000, 0, {0}, "0 - row -1 - -"},  // already first: nothing more
        // Several rows in one landing; equal scores are not passed.
        {301, 4, {500, 300, 300, 100}, "1 Next Place : +199 row 1 Place # 2 blink ...Place : 2"},
    };
    for (const auto& [s, place, scores, update] : cases)
        EXPECT_EQ(shown(UpdatePlace(s, place, scores)), update) << s;
    // The last six characters of "1. Big            1234567" would read 234567.
    EXPECT_EQ(UpdatePlace(1000000, 2, {1234567, 999999}).nextPlace,
              QStringLiteral("Next Place : +234567"));
}

}  // namespace
}  // namespace morvast
