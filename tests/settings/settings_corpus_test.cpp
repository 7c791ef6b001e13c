// The reader over damaged files of every kind a player's editor, a full disk or a bad copy can
// leave: nothing may crash, hang, read without bound or lose the player's bytes.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

#include "settings/settings_file.h"
#include "settings/settings_format.h"
#include "settings_support.h"

namespace morvast {
namespace {

using testing::defaultFileText;
using testing::readAll;
using testing::writeFile;

// The most a read may take from the device: every line at the limit.
constexpr qint64 kReadBound = 66 * (kMaxSettingsLine + 3);

QByteArray customFile() {
    Settings s;
    s.frmStatistic.Visible = false;
    s.frmMP3.Visible = false;
    s.PathToBkgMusic.stored = QStringLiteral("/srv/игра/bkg.wav");
    s.bkgVolume = -10001;
    s.effects[mDrop1].DMCtrlFreq = 0;
    s.iFantom = 2;
    return encodeSettings(s);
}

class Mutator {
  public:
    explicit Mutator(uint32_t seed) : rng_(seed) {}

    QByteArray mutate(QByteArray f) {
        switch (pick(9)) {
            case 0:  // truncated anywhere
                return f.left(pick(int(f.size()) + 1));
            case 1:  // bytes overwritten with binary
                for (int i = 0, n = 1 + pick(8); i < n && !f.isEmpty(); ++i)
                    f[pick(int(f.size()))] = char(pick(256));
                return f;
            case 2:  // a run of binary bytes inserted
                return f.insert(pick(int(f.size()) + 1), binary(1 + pick(64)));
            case 3: {  // a number beyond some range in place of a line
                static const char* const huge[] = {
                    "32768",     "-32769", "32767.5", "2147483648", "-2147483648.5", "256",
                    "-0.6",      "1e39",   "1e308",   "1e309",      "-1e400",        "1D99999",
                    "9e9999999", "0x7fff", "&HFFFF",  "nan",        "-inf",          "4294967296"};
                return replaceLine(f, huge[pick(std::size(huge))]);
            }
            case 4:  // line ends lost or changed
                switch (pick(3)) {
                    case 0:
                        return f.replace("\r\n", "");
                    case 1:
                        return f.replace("\r\n", "\r");
                    default:
                        f.chop(2);
                        return f;
                }
            case 5:  // a line dropped
                return replaceLine(f, QByteArray(), true);
            case 6:  // a line doubled
                return replaceLine(f, lineAt(f, pick(66)) + "\r\n" + lineAt(f, pick(66)));
            case 7:  // a long line, sometimes just within the limit
                return replaceLine(f, QByteArray(kMaxSettingsLine - 1 + pick(3), 'L'));
            default:  // random text in place of a line
                return replaceLine(f, binary(pick(40)).replace('\n', ' '));
        }
    }

    int pick(size_t n) { return int(std::uniform_int_distribution<size_t>(0, n - 1)(rng_)); }

  private:
    QByteArray binary(int n) {
        QByteArray b(n, '\0');
        for (char& c : b)
            c = char(pick(256));
        return b;
    }
    static QByteArray lineAt(const QByteArray& f, int i) {
        const QList<QByteArray> l = f.split('\n');
        return l.value(i % l.size()).trimmed();
    }
    QByteArray replaceLine(const QByteArray& f, const QByteArray& line, bool drop = false) {
        QList<QByteArray> l = f.split('\n');
        const int i = pick(l.size());
        if (drop)
            l.removeAt(i);
        else
            l[i] = line + '\r';
        return l.join('\n');
    }

    std::mt19937 rng_;
};

// One damaged file through the load: either it reads, and what it holds survives a save, or its
// bytes end up in the ".bak" and the defaults take its place.
void loadOne(const QString& folder, const QByteArray& bytes, const std::string& what) {
    SettingsFile file(folder, QStringLiteral("Fuzz"));
    QFile::remove(file.backupPath());
    ASSERT_TRUE(writeFile(file.path(), bytes)) << what;

    QFile in(file.path());
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    Settings direct;
    const bool reads = readSettings(in, direct);
    EXPECT_LE(in.pos(), kReadBound) << what;
    in.close();

    const SettingsLoad load = file.LoadSettings();
    if (reads) {
        ASSERT_EQ(load.status, SettingsLoadStatus::Read) << what;
        EXPECT_FALSE(QFileInfo::exists(file.backupPath())) << what;
        // What was read is written in a form that reads back and writes the same bytes again.
        const QByteArray written = encodeSettings(direct);
        Settings again;
        QString problem;
        ASSERT_TRUE(parseSettings(written, again, &problem))
            << what << ": " << problem.toStdString();
        EXPECT_EQ(encodeSettings(again), written) << what;
    } else {
        ASSERT_EQ(load.status, SettingsLoadStatus::ReplacedDamaged) << what;
        EXPECT_FALSE(load.problem.isEmpty()) << what;
        EXPECT_TRUE(readAll(file.backupPath()) == bytes) << what;
        EXPECT_EQ(readAll(file.path()), defaultFileText()) << what;
        Settings defaults;
        resolvePaths(defaults, folder);
        EXPECT_EQ(load.values, defaults) << what;
    }
}

TEST(SettingsCorpus, RandomlyDamagedFilesNeverCrashAndNeverLoseTheirBytes) {
    QTemporaryDir dir;
    const QByteArray bases[] = {defaultFileText(), customFile()};
    Mutator m(20240611);
    int damaged = 0;
    for (int i = 0; i < 400; ++i) {
        QByteArray f = bases[i % 2];
        for (int k = 0, n = 1 + m.pick(3); k < n; ++k)
            f = m.mutate(f);
        Settings s;
        damaged += !parseSettings(f, s);
        loadOne(dir.path(), f, "case " + std::to_string(i));
        if (HasFatalFailure()) return;
    }
    // The corpus must exercise both outcomes to mean anything.
    EXPECT_GT(damaged, 100);
    EXPECT_LT(damaged, 400);
}

TEST(SettingsCorpus, HugeFilesAndLinesAreNotTakenWhole) {
    QTemporaryDir dir;
    const QByteArray mb(1 << 20, 'x');
    QByteArray fifty;
    fifty.reserve(50 * mb.size());
    for (int i = 0; i < 50; ++i)
        fifty += mb;

    // A good file with 50 MB behind it reads; nothing is rewritten.
    loadOne(dir.path(), defaultFileText() + fifty, "50 MB tail");
    // 50 MB without one line end, and a 1 MB line in the middle, are damaged files.
    loadOne(dir.path(), fifty, "50 MB line");
    QByteArray mid = defaultFileText();
    mid.insert(mid.indexOf("morvast-music"), mb);
    loadOne(dir.path(), mid, "1 MB label");
    // Binary zeros where the numbers stand.
    loadOne(dir.path(), QByteArray(100000, '\0'), "zeros");
}

}  // namespace
}  // namespace morvast
