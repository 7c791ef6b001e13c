#include "settings/settings_file.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ctime>

#include <fcntl.h>

#include <sys/stat.h>
#include <unistd.h>

#include "settings/settings_format.h"
#include "settings_support.h"

namespace morvast {
namespace {

using testing::defaultFileText;
using testing::readAll;
using testing::writeFile;

Settings resolvedDefaults(const QString& folder) {
    Settings s;
    resolvePaths(s, folder);
    return s;
}

class SettingsFileTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    SettingsFile file{dir.path(), QStringLiteral("ABC")};
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
};

TEST_F(SettingsFileTest, FirstStartWritesTheDefaultFileThenSavesComeBack) {
    EXPECT_EQ(file.path(), dir.filePath("MvstABC.ini"));
    EXPECT_EQ(settingsFilePath(dir.path(), QString()), dir.filePath("Mvst.ini"));

    const SettingsLoad load = file.LoadSettings();
    EXPECT_EQ(load.status, SettingsLoadStatus::Created);
    EXPECT_EQ(load.values, resolvedDefaults(dir.path()));
    EXPECT_EQ(readAll(file.path()), defaultFileText());
    EXPECT_EQ(files(), QStringList({"MvstABC.ini"}));

    Settings s = load.values;
    s.frmStatistic.Visible = false;
    s.effect(SoundEffect::Rotate).DMCtrlVolume = -10001;  // quieter than silent: kept as it is
    s.MP3Path.set(QStringLiteral("/music/a.mp3"));
    // The new file keeps the mode, and the owner where this account may give it (root).
    const QByteArray path = QFile::encodeName(file.path());
    const uid_t owner = ::geteuid() == 0 ? 65534 : ::geteuid();
    ASSERT_TRUE(::chmod(path, 0604) == 0 && ::chown(path, owner, -1) == 0);
    EXPECT_EQ(file.SaveSettings(s), SharedWrite::Replaced);
    struct stat st {};
    ASSERT_EQ(::stat(path, &st), 0);
    EXPECT_EQ(std::pair(st.st_uid, st.st_mode & 07777), std::pair(owner, 0604u));
    const SettingsLoad again = file.LoadSettings();
    EXPECT_EQ(again.status, SettingsLoadStatus::Read);
    EXPECT_EQ(again.values, s);
    EXPECT_EQ(readAll(file.path()).count("\r\n...\r\n"), 11);  // paths never set stay "..."
}

TEST_F(SettingsFileTest, DamagedFileIsCopiedAsideThenTheDefaultsReplaceIt) {
    QByteArray damaged = defaultFileText();
    damaged.replace(damaged.indexOf("True"), 4, "Maybe");
    ASSERT_TRUE(writeFile(file.path(), damaged));
    ASSERT_TRUE(writeFile(file.backupPath(), "an older copy"));  // one generation is kept

    const SettingsLoad load = file.LoadSettings();
    EXPECT_EQ(load.status, SettingsLoadStatus::ReplacedDamaged);
    EXPECT_EQ(load.problem, QStringLiteral("line 3: \"Maybe\" is not True or False"));
    EXPECT_EQ(readAll(file.backupPath()), damaged);

    // Damaged again before a save: the save copies it aside too.
    ASSERT_TRUE(writeFile(file.path(), "short"));
    EXPECT_EQ(file.SaveSettings(load.values), SharedWrite::Replaced);
    EXPECT_EQ(readAll(file.backupPath()), "short");
    EXPECT_EQ(readAll(file.path()), defaultFileText());
}

TEST_F(SettingsFileTest, SomethingThatIsNoFileIsLeftAlone) {
    // A folder, and a pipe that would block the reader until someone writes into it.
    const QByteArray path = QFile::encodeName(file.path());
    for (bool pipe : {false, true}) {
        ASSERT_EQ(pipe ? ::mkfifo(path, 0644) : ::mkdir(path, 0755), 0);
        const SettingsLoad load = file.LoadSettings();
        EXPECT_EQ(load.status, SettingsLoadStatus::DefaultsOnly);
        EXPECT_EQ(load.values, resolvedDefaults(dir.path()));
        EXPECT_EQ(file.SaveSettings(load.values), SharedWrite::Failed);
        EXPECT_EQ(files(), QStringList());
        ASSERT_EQ(pipe ? ::unlink(path) : ::rmdir(path), 0);
    }
}

TEST_F(SettingsFileTest, OnlyThisAccountsStaleTemporaryFilesAreRemovedAtStart) {
    // Temporary names beside the file and its backup, an hour old, go; the recent one (it may be
    // in use), other names, a pipe, a link and another account's file stay.
    const QString base = file.path() + ".";
    const bool root = ::geteuid() == 0;
    for (const char* name :
         {"a1B2c3", "bak.Zz9Yy8", "d4E5f6", "toolong", "ab_123", "Other1", "Fifo12", "Link12"}) {
        const QByteArray path = QFile::encodeName(base + name);
        ASSERT_EQ(name[0] == 'F'   ? ::mkfifo(path, 0600)
                  : name[0] == 'L' ? ::symlink("a1B2c3", path)
                                   : int(!writeFile(base + name, "x")),
                  0);
        const time_t t = std::time(nullptr) - (name[0] == 'd' ? 60 : 7200);
        const timespec times[2] = {{t, 0}, {t, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path, times, AT_SYMLINK_NOFOLLOW), 0);
    }
    ASSERT_TRUE(!root || ::chown(QFile::encodeName(base + "Other1"), 65534, 65534) == 0);

    file.LoadSettings();
    QStringList kept = {"MvstABC.ini",        "MvstABC.ini.Fifo12", "MvstABC.ini.Link12",
                        "MvstABC.ini.ab_123", "MvstABC.ini.d4E5f6", "MvstABC.ini.toolong"};
    if (root) kept.insert(3, "MvstABC.ini.Other1");
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name),
              kept);
}

TEST_F(SettingsFileTest, FailedWritesLeaveTheOldFileWhole) {
    ASSERT_EQ(file.LoadSettings().status, SettingsLoadStatus::Created);
    Settings s = resolvedDefaults(dir.path());
    s.PathToBkgMusic.set(QString(2000, QLatin1Char('m')));  // the new file is the longer one
    {
        testing::FileSizeLimit full(1000);
        EXPECT_EQ(file.SaveSettings(s), SharedWrite::Failed);
    }
    EXPECT_EQ(readAll(file.path()), defaultFileText());
    EXPECT_EQ(files(), QStringList({"MvstABC.ini"}));

    // A damaged file whose copy cannot be made is replaced neither at loading nor at saving.
    const QByteArray damaged(5000, '\x01');
    ASSERT_TRUE(writeFile(file.path(), damaged));
    {
        testing::FileSizeLimit full(1000);
        const SettingsLoad load = file.LoadSettings();
        EXPECT_EQ(load.status, SettingsLoadStatus::DefaultsOnly);
        EXPECT_EQ(load.values, resolvedDefaults(dir.path()));
        EXPECT_EQ(file.SaveSettings(load.values), SharedWrite::Failed);
    }
    EXPECT_EQ(readAll(file.path()), damaged);
    EXPECT_EQ(files(), QStringList({"MvstABC.ini"}));
}

}  // namespace
}  // namespace morvast
