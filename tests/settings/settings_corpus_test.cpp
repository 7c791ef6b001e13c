// The reader over damaged files of every kind an editor, a full disk or a bad copy can leave:
// nothing may crash, hang, read without bound or lose the player's bytes.
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "settings/settings_file.h"
#include "settings/settings_format.h"
#include "settings_support.h"

namespace morvast {
namespace {

using testing::defaultFileText;
using testing::readAll;

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
    testing::Damage damage(20240611, kMaxSettingsLine);
    int damaged = 0;
    for (int i = 0; i < 400 && !HasFailure(); ++i)
        damaged += !loadOne(dir.path(), damage(defaultFileText()), "case " + std::to_string(i));
    // Both outcomes must be well represented for the corpus to mean anything.
    EXPECT_GT(damaged, 100);
    EXPECT_GT(400 - damaged, 40);

    // Huge files and lines are not taken whole; a line just within the limit reads.
    const auto label = [](int n) {
        return defaultFileText().replace("morvast-music...", QByteArray(n, 'p'));
    };
    EXPECT_TRUE(loadOne(dir.path(), defaultFileText() + QByteArray(50 << 20, 'x'),
                        "50 MB after a good file"));
    EXPECT_FALSE(loadOne(dir.path(), label(50 << 20), "50 MB label line"));
    EXPECT_TRUE(loadOne(dir.path(), label(kMaxSettingsLine), "the longest line read"));
    EXPECT_FALSE(loadOne(dir.path(), QByteArray(100000, '\0'), "zeros"));
}

}  // namespace
}  // namespace morvast
