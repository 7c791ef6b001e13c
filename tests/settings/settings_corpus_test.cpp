// The reader over damaged files of every kind an editor, a full disk or a bad copy can leave:
// nothing may crash, hang, read without bound or lose the player's bytes.
#include <QFileInfo>
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

class Mutator {
  public:
    explicit Mutator(uint32_t seed) : rng_(seed) {}
    int pick(size_t n) { return int(std::uniform_int_distribution<size_t>(0, n - 1)(rng_)); }

    QByteArray mutate(QByteArray f) {
        static const char* const huge[] = {"32768", "-32769",    "32767.5", "2147483648", "-0.6",
                                           "256",   "1e39",      "1e309",   "-1e400",     "nan",
                                           "-inf",  "9e9999999", "&HFFFF",  "4294967296"};
        switch (pick(8)) {
            case 0:  // truncated anywhere
                return f.left(pick(f.size() + 1));
            case 1:  // bytes overwritten with binary
                for (int i = 0, n = 1 + pick(8); i < n && !f.isEmpty(); ++i)
                    f[pick(f.size())] = char(pick(256));
                return f;
            case 2:  // a run of binary bytes inserted
                return f.insert(pick(f.size() + 1), binary(1 + pick(64)));
            case 3:  // a number beyond some range
                return replaceLine(f, huge[pick(std::size(huge))]);
            case 4:  // line ends lost or changed
                return pick(2) ? f.replace("\r\n", "") : f.replace("\r\n", "\r");
            case 5:  // a line dropped or doubled
                return pick(2) ? replaceLine(f, {}, true) : replaceLine(f, "True\r\nTrue");
            case 6:  // a long line, sometimes just within the limit
                return replaceLine(f, QByteArray(kMaxSettingsLine - 1 + pick(3), 'L'));
            default:  // random text in place of a line
                return replaceLine(f, binary(pick(40)).replace('\n', ' '));
        }
    }

  private:
    QByteArray binary(int n) {
        QByteArray b(n, '\0');
        for (char& c : b)
            c = char(pick(256));
        return b;
    }
    QByteArray replaceLine(const QByteArray& f, const QByteArray& line, bool drop = false) {
        QList<QByteArray> l = f.split('\n');
        const int i = pick(l.size());
        drop ? void(l.removeAt(i)) : void(l[i] = line + '\r');
        return l.join('\n');
    }
    std::mt19937 rng_;
};

// One file through the load: either it reads, and what it holds is written so that it reads
// again, or its bytes end up in the ".bak" and the defaults take its place.
bool loadOne(const QString& folder, const QByteArray& bytes, const std::string& what) {
    SettingsFile file(folder, QStringLiteral("Fuzz"));
    QFile::remove(file.backupPath());
    EXPECT_TRUE(testing::writeFile(file.path(), bytes));

    QFile in(file.path());
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    Settings direct;
    const bool reads = readSettings(in, direct);
    EXPECT_LE(in.pos(), 66 * (kMaxSettingsLine + 3)) << what;  // never more than it needs
    in.close();

    const SettingsLoad load = file.LoadSettings();
    if (reads) {
        EXPECT_EQ(load.status, SettingsLoadStatus::Read) << what;
        EXPECT_FALSE(QFileInfo::exists(file.backupPath())) << what;
        const QByteArray written = encodeSettings(direct);
        Settings again;
        EXPECT_TRUE(parseSettings(written, again)) << what;
        EXPECT_EQ(encodeSettings(again), written) << what;
    } else {
        Settings defaults;
        resolvePaths(defaults, folder);
        EXPECT_EQ(load.status, SettingsLoadStatus::ReplacedDamaged) << what;
        EXPECT_TRUE(readAll(file.backupPath()) == bytes) << what;
        EXPECT_EQ(readAll(file.path()), defaultFileText()) << what;
        EXPECT_EQ(load.values, defaults) << what;
    }
    return reads;
}

TEST(SettingsCorpus, RandomlyDamagedFilesNeverCrashAndNeverLoseTheirBytes) {
    QTemporaryDir dir;
    Settings custom;
    custom.frmStatistic.Visible = custom.frmMP3.Visible = false;
    custom.PathToBkgMusic.stored = QStringLiteral("/srv/игра/bkg.wav");
    custom.bkgVolume = -10001;
    const QByteArray bases[] = {defaultFileText(), encodeSettings(custom)};
    Mutator m(20240611);
    int damaged = 0;
    for (int i = 0; i < 400 && !HasFailure(); ++i) {
        QByteArray f = bases[i % 2];
        for (int k = 0, n = 1 + m.pick(3); k < n; ++k)
            f = m.mutate(f);
        damaged += !loadOne(dir.path(), f, "case " + std::to_string(i));
    }
    // Both outcomes must be well represented for the corpus to mean anything.
    EXPECT_GT(damaged, 100);
    EXPECT_GT(400 - damaged, 40);

    // Huge files and lines are not taken whole; a line just within the limit reads.
    const QByteArray fifty(50 << 20, 'x');
    const auto label = [](int n) {
        return defaultFileText().replace("morvast-music...", QByteArray(n, 'p'));
    };
    EXPECT_TRUE(loadOne(dir.path(), defaultFileText() + fifty, "50 MB after a good file"));
    EXPECT_FALSE(loadOne(dir.path(), fifty, "50 MB without a line end"));
    EXPECT_FALSE(loadOne(dir.path(), label(1 << 20), "1 MB label line"));
    EXPECT_TRUE(loadOne(dir.path(), label(kMaxSettingsLine), "the longest line read"));
    EXPECT_FALSE(loadOne(dir.path(), QByteArray(100000, '\0'), "zeros"));
}

}  // namespace
}  // namespace morvast
