#include "settings/settings_file.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>

#include <fcntl.h>

#include <sys/resource.h>
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

struct stat statOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
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
    EXPECT_EQ(SettingsFile(dir.path()).path(), settingsFilePath(dir.path(), GetMachineName()));

    const SettingsLoad load = file.LoadSettings();
    EXPECT_EQ(load.status, SettingsLoadStatus::Created);
    EXPECT_EQ(load.values, resolvedDefaults(dir.path()));
    EXPECT_EQ(readAll(file.path()), defaultFileText());
    EXPECT_EQ(files(), QStringList({"MvstABC.ini"}));

    Settings s = load.values;
    s.frmStatistic.Visible = false;
    s.effect(SoundEffect::Rotate).DMCtrlVolume = -10001;  // quieter than silent: kept as it is
    s.MP3Path.set(QStringLiteral("/music/a.mp3"));
    EXPECT_EQ(file.SaveSettings(s), SharedWrite::Replaced);
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
    EXPECT_EQ(load.values, resolvedDefaults(dir.path()));
    EXPECT_EQ(readAll(file.backupPath()), damaged);
    EXPECT_EQ(readAll(file.path()), defaultFileText());

    // Damaged again before a save: the save copies it aside too.
    ASSERT_TRUE(writeFile(file.path(), "short"));
    EXPECT_EQ(file.SaveSettings(load.values), SharedWrite::Replaced);
    EXPECT_EQ(readAll(file.backupPath()), "short");
    EXPECT_EQ(readAll(file.path()), defaultFileText());
}

TEST_F(SettingsFileTest, SomethingThatIsNoFileIsLeftAlone) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("MvstABC.ini"));
    const SettingsLoad load = file.LoadSettings();
    EXPECT_EQ(load.status, SettingsLoadStatus::DefaultsOnly);
    EXPECT_EQ(load.values, resolvedDefaults(dir.path()));
    EXPECT_EQ(file.SaveSettings(load.values), SharedWrite::Failed);
    EXPECT_TRUE(QFileInfo(file.path()).isDir());
    EXPECT_EQ(files(), QStringList());

    // A pipe would block the reader until someone writes into it.
    ASSERT_TRUE(QDir(dir.path()).rmdir("MvstABC.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(file.path()).constData(), 0644), 0);
    EXPECT_EQ(file.LoadSettings().status, SettingsLoadStatus::DefaultsOnly);
    EXPECT_EQ(file.SaveSettings(load.values), SharedWrite::Failed);
}

TEST_F(SettingsFileTest, OnlyThisAccountsStaleTemporaryFilesAreRemovedAtStart) {
    const QString base = file.path() + ".";
    const auto age = [](const QString& path, time_t seconds) {
        const timespec t[2] = {{std::time(nullptr) - seconds, 0},
                               {std::time(nullptr) - seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path), t, AT_SYMLINK_NOFOLLOW), 0);
    };
    for (const char* name : {"a1B2c3", "bak.Zz9Yy8", "d4E5f6", "toolong", "ab_123", "Other1"}) {
        ASSERT_TRUE(writeFile(base + name, "x"));
        age(base + name, QByteArray(name) == "d4E5f6" ? 60 : 7200);  // that one may be in use
    }
    ASSERT_EQ(::mkfifo(QFile::encodeName(base + "Fifo12"), 0600), 0);
    ASSERT_EQ(::symlink("a1B2c3", QFile::encodeName(base + "Link12")), 0);
    for (const char* name : {"Fifo12", "Link12"})
        age(base + name, 7200);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(base + "Other1"), 65534, 65534), 0);
    }

    file.LoadSettings();
    QStringList kept = {"MvstABC.ini",        "MvstABC.ini.Fifo12", "MvstABC.ini.Link12",
                        "MvstABC.ini.ab_123", "MvstABC.ini.d4E5f6", "MvstABC.ini.toolong"};
    if (root) kept << "MvstABC.ini.Other1";
    kept.sort();
    QStringList now =
        QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    now.sort();
    EXPECT_EQ(now, kept);
}

// Writes beyond the limit fail with EFBIG, as on a full disk.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = old;
        l.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old); }
    rlimit old{};
};

TEST_F(SettingsFileTest, FailedWritesLeaveTheOldFileWhole) {
    ASSERT_EQ(file.LoadSettings().status, SettingsLoadStatus::Created);
    Settings s = resolvedDefaults(dir.path());
    s.PathToBkgMusic.set(QString(2000, QLatin1Char('m')));  // the new file is the longer one
    {
        FileSizeLimit full(1000);
        EXPECT_EQ(file.SaveSettings(s), SharedWrite::Failed);
    }
    EXPECT_EQ(readAll(file.path()), defaultFileText());
    EXPECT_EQ(files(), QStringList({"MvstABC.ini"}));

    // A damaged file whose copy cannot be made is replaced neither at loading nor at saving.
    const QByteArray damaged(5000, '\x01');
    ASSERT_TRUE(writeFile(file.path(), damaged));
    {
        FileSizeLimit full(1000);
        const SettingsLoad load = file.LoadSettings();
        EXPECT_EQ(load.status, SettingsLoadStatus::DefaultsOnly);
        EXPECT_EQ(load.values, resolvedDefaults(dir.path()));
        EXPECT_EQ(file.SaveSettings(load.values), SharedWrite::Failed);
    }
    EXPECT_EQ(readAll(file.path()), damaged);
    EXPECT_EQ(files(), QStringList({"MvstABC.ini"}));
}

TEST_F(SettingsFileTest, AtomicSaveKeepsOwnerGroupAndMode) {
    ASSERT_EQ(file.LoadSettings().status, SettingsLoadStatus::Created);
    const QByteArray path = QFile::encodeName(file.path());
    ASSERT_EQ(::chmod(path.constData(), 0604), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.constData(), 65534, 65534), 0);
    }
    const ino_t before = statOf(file.path()).st_ino;
    EXPECT_EQ(file.SaveSettings(resolvedDefaults(dir.path())), SharedWrite::Replaced);
    const struct stat after = statOf(file.path());
    EXPECT_NE(after.st_ino, before);  // a new file took the old one's place
    EXPECT_EQ(after.st_mode & 07777, 0604u);
    if (root) {
        EXPECT_EQ(after.st_uid, 65534u);
        EXPECT_EQ(after.st_gid, 65534u);
    }
}

// The game started under an account that may not write everything: a helper program run as
// "nobody" (uid and gid 65534) through setpriv loads, changes the music frequency and saves.
class OtherAccountTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "dropping to another account needs root";
        if (QProcess::execute("setpriv", {kNobody[0], kNobody[1], kNobody[2], "true"}) != 0)
            GTEST_SKIP() << "setpriv cannot drop privileges on this machine";
        // The helper is copied where nobody reaches it, wherever the build tree lies.
        mode(root.path(), 0755);
        helper = root.filePath("settings_helper");
        ASSERT_TRUE(QFile::copy(SETTINGS_HELPER, helper));
        ASSERT_TRUE(QDir(root.path()).mkdir("game"));
        game = root.filePath("game");
        path = settingsFilePath(game, QStringLiteral("Test"));
    }
    void mode(const QString& p, mode_t m) { ASSERT_EQ(::chmod(QFile::encodeName(p), m), 0); }

    // "load=<status> save=<outcome>" as the helper printed it.
    QString runAsNobody() {
        QProcess p;
        p.start("setpriv", {kNobody[0], kNobody[1], kNobody[2], helper, game});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
    }
    static QString status(SettingsLoadStatus l, SharedWrite w) {
        return QStringLiteral("load=%1 save=%2").arg(int(l)).arg(int(w));
    }
    QStringList files() const { return QDir(game).entryList(QDir::Files | QDir::Hidden); }

    static constexpr const char* kNobody[] = {"--reuid=65534", "--regid=65534", "--clear-groups"};
    QTemporaryDir root;
    QString helper, game, path;
};

TEST_F(OtherAccountTest, WithoutWriteAccessTheDefaultsStayInMemoryAndNoFileIsLost) {
    mode(game, 0755);
    EXPECT_EQ(runAsNobody(), status(SettingsLoadStatus::DefaultsOnly, SharedWrite::Failed));
    EXPECT_EQ(files(), QStringList());

    // A damaged file that cannot be copied aside, writable or not, is never replaced.
    const QByteArray damaged = "1\r\n2\r\nnot a flag\r\n";
    ASSERT_TRUE(writeFile(path, damaged));
    mode(path, 0666);
    EXPECT_EQ(runAsNobody(), status(SettingsLoadStatus::DefaultsOnly, SharedWrite::Failed));
    mode(game, 0777);
    mode(path, 0600);
    EXPECT_EQ(runAsNobody(), status(SettingsLoadStatus::DefaultsOnly, SharedWrite::Failed));
    EXPECT_EQ(readAll(path), damaged);
    EXPECT_EQ(files(), QStringList({"MvstTest.ini"}));
}

TEST_F(OtherAccountTest, FileThatCannotBeReplacedKeepingItsOwnerIsWrittenInPlace) {
    ASSERT_TRUE(writeFile(path, defaultFileText()));
    mode(path, 0646);
    const ino_t inode = statOf(path).st_ino;
    // A closed folder allows no new file; an open one would, but not one owned by root.
    for (mode_t folder : {0755, 0777}) {
        mode(game, folder);
        ASSERT_TRUE(writeFile(path, defaultFileText()));
        EXPECT_EQ(runAsNobody(), status(SettingsLoadStatus::Read, SharedWrite::InPlace));
        const struct stat after = statOf(path);
        EXPECT_EQ(after.st_ino, inode);
        EXPECT_EQ(after.st_uid + after.st_gid, 0u);
        EXPECT_EQ(after.st_mode & 07777, 0646u);
        EXPECT_TRUE(readAll(path).contains("\r\n 22050 \r\n"));
        EXPECT_EQ(files(), QStringList({"MvstTest.ini"}));
    }
}

}  // namespace
}  // namespace morvast
