#include "settings/settings_file.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

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
};

TEST_F(SettingsFileTest, FileIsNamedAfterTheComputer) {
    EXPECT_EQ(file.path(), dir.filePath("MvstABC.ini"));
    EXPECT_EQ(settingsFilePath(dir.path(), QString()), dir.filePath("Mvst.ini"));
    EXPECT_EQ(SettingsFile(dir.path()).path(), settingsFilePath(dir.path(), GetMachineName()));
    const QString name = GetMachineName();
    EXPECT_FALSE(name.contains('/') || name.contains('\\') || name.contains(QChar(0)));
}

TEST_F(SettingsFileTest, FirstStartWritesTheDefaultFileAndReadsIt) {
    const SettingsLoad load = file.LoadSettings();
    EXPECT_EQ(load.status, SettingsLoadStatus::Created);
    EXPECT_EQ(load.values, resolvedDefaults(dir.path()));
    EXPECT_EQ(readAll(file.path()), defaultFileText());
    EXPECT_FALSE(QFileInfo::exists(file.backupPath()));

    // Saved and read again: changes come back, untouched paths stay "...".
    Settings s = load.values;
    s.frmStatistic.Visible = false;
    s.effects[mRotate1].DMCtrlVolume = -10001;  // quieter than silent: kept as it is
    s.MP3Path.set(QStringLiteral("/music/a.mp3"));
    EXPECT_EQ(file.SaveSettings(s), WriteOutcome::Replaced);
    const SettingsLoad again = file.LoadSettings();
    EXPECT_EQ(again.status, SettingsLoadStatus::Read);
    EXPECT_EQ(again.values, s);
    EXPECT_EQ(readAll(file.path()).count("\r\n...\r\n"), 11);
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
    EXPECT_EQ(file.LoadSettings().status, SettingsLoadStatus::Read);
    EXPECT_EQ(readAll(file.backupPath()), damaged);

    // Damaged again before a save: the save copies it aside too.
    ASSERT_TRUE(writeFile(file.path(), "short"));
    EXPECT_EQ(file.SaveSettings(load.values), WriteOutcome::Replaced);
    EXPECT_EQ(readAll(file.backupPath()), "short");
    EXPECT_EQ(readAll(file.path()), defaultFileText());
}

TEST_F(SettingsFileTest, SomethingThatIsNoFileIsLeftAlone) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("MvstABC.ini"));
    const SettingsLoad load = file.LoadSettings();
    EXPECT_EQ(load.status, SettingsLoadStatus::DefaultsOnly);
    EXPECT_EQ(load.values, resolvedDefaults(dir.path()));
    EXPECT_EQ(file.SaveSettings(load.values), WriteOutcome::Failed);
    EXPECT_TRUE(QFileInfo(file.path()).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());

    // A pipe would block the reader until someone writes into it.
    ASSERT_TRUE(QDir(dir.path()).rmdir("MvstABC.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(file.path()).constData(), 0644), 0);
    EXPECT_EQ(file.LoadSettings().status, SettingsLoadStatus::DefaultsOnly);
    EXPECT_EQ(file.SaveSettings(load.values), WriteOutcome::Failed);
    EXPECT_EQ(QFileInfo(file.path()).isFile(), false);
}

// Writes beyond the limit fail with EFBIG, as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = old_;
        l.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(SettingsFileTest, FailedWritesLeaveTheOldFileWhole) {
    ASSERT_EQ(file.LoadSettings().status, SettingsLoadStatus::Created);
    Settings s = resolvedDefaults(dir.path());
    s.PathToBkgMusic.set(QString(2000, QLatin1Char('m')));  // the new file is the longer one
    {
        FileSizeLimit full(1000);
        EXPECT_EQ(file.SaveSettings(s), WriteOutcome::Failed);
    }
    EXPECT_EQ(readAll(file.path()), defaultFileText());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"MvstABC.ini"}));

    // A damaged file whose copy cannot be made is neither replaced at loading nor at saving.
    const QByteArray damaged = QByteArray(5000, '\x01');
    ASSERT_TRUE(writeFile(file.path(), damaged));
    {
        FileSizeLimit full(1000);
        const SettingsLoad load = file.LoadSettings();
        EXPECT_EQ(load.status, SettingsLoadStatus::DefaultsOnly);
        EXPECT_EQ(load.values, resolvedDefaults(dir.path()));
        EXPECT_EQ(file.SaveSettings(load.values), WriteOutcome::Failed);
    }
    EXPECT_EQ(readAll(file.path()), damaged);
    EXPECT_FALSE(QFileInfo::exists(file.backupPath()));
}

TEST_F(SettingsFileTest, SaveKeepsOwnerGroupAndModeOfTheSharedFile) {
    ASSERT_EQ(file.LoadSettings().status, SettingsLoadStatus::Created);
    const QByteArray path = QFile::encodeName(file.path());
    ASSERT_EQ(::chmod(path.constData(), 0604), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.constData(), 65534, 65534), 0);
    }
    const ino_t before = statOf(file.path()).st_ino;

    Settings s = resolvedDefaults(dir.path());
    s.iFantom = 2;
    EXPECT_EQ(file.SaveSettings(s), WriteOutcome::Replaced);
    const struct stat after = statOf(file.path());
    EXPECT_NE(after.st_ino, before);  // a new file took the old one's place
    EXPECT_EQ(after.st_mode & 07777, 0604u);
    if (root) {
        EXPECT_EQ(after.st_uid, 65534u);
        EXPECT_EQ(after.st_gid, 65534u);
    }
    EXPECT_EQ(file.LoadSettings().values.iFantom, 2);
}

// The cases where the game runs under an account that may not write everything: a helper
// program is started as "nobody" (uid and gid 65534) through setpriv.
class OtherAccountTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "dropping to another account needs root";
        if (QProcess::execute("setpriv",
                              {"--reuid=65534", "--regid=65534", "--clear-groups", "true"}) != 0)
            GTEST_SKIP() << "setpriv cannot drop privileges on this machine";
        // Everything the helper needs must be reachable by nobody, wherever the build tree is.
        ASSERT_TRUE(QFile::setPermissions(root.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                           QFile::ExeOwner | QFile::ReadOther |
                                                           QFile::ExeOther));
        helper = root.filePath("settings_helper");
        ASSERT_TRUE(QFile::copy(SETTINGS_HELPER, helper));
        ASSERT_TRUE(QDir(root.path()).mkdir("game"));
        game = root.filePath("game");
        path = settingsFilePath(game, QStringLiteral("Test"));
    }

    void mode(const QString& p, mode_t m) {
        ASSERT_EQ(::chmod(QFile::encodeName(p).constData(), m), 0);
    }

    // Runs the helper as nobody and gives what it printed.
    QString runAsNobody(const QString& what) {
        QProcess p;
        p.start("setpriv",
                {"--reuid=65534", "--regid=65534", "--clear-groups", helper, game, what});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
    }

    static QString status(SettingsLoadStatus l, WriteOutcome w) {
        return QStringLiteral("load=%1 save=%2").arg(int(l)).arg(int(w));
    }

    QTemporaryDir root;
    QString helper, game, path;
};

TEST_F(OtherAccountTest, FolderWhereNothingCanBeWrittenGivesDefaultsInMemory) {
    mode(game, 0755);
    EXPECT_EQ(runAsNobody("save"), status(SettingsLoadStatus::DefaultsOnly, WriteOutcome::Failed));
    EXPECT_EQ(QDir(game).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList());
}

TEST_F(OtherAccountTest, WritableFileInAClosedFolderIsWrittenInPlace) {
    ASSERT_TRUE(writeFile(path, defaultFileText()));
    mode(path, 0666);
    mode(game, 0755);
    EXPECT_EQ(runAsNobody("save"), status(SettingsLoadStatus::Read, WriteOutcome::InPlace));
    Settings s;
    ASSERT_TRUE(parseSettings(readAll(path), s));
    EXPECT_EQ(s.freq, 22050);
    EXPECT_EQ(statOf(path).st_uid, 0u);
}

TEST_F(OtherAccountTest, FileOfAnotherOwnerKeepsItsOwnerGroupAndMode) {
    ASSERT_TRUE(writeFile(path, defaultFileText()));
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 0, 0), 0);
    mode(path, 0646);
    mode(game, 0777);  // nobody could replace it, but not hand the new file back to root
    const ino_t before = statOf(path).st_ino;
    EXPECT_EQ(runAsNobody("save"), status(SettingsLoadStatus::Read, WriteOutcome::InPlace));
    const struct stat after = statOf(path);
    EXPECT_EQ(after.st_ino, before);
    EXPECT_EQ(after.st_uid, 0u);
    EXPECT_EQ(after.st_gid, 0u);
    EXPECT_EQ(after.st_mode & 07777, 0646u);
    EXPECT_TRUE(readAll(path).contains("\r\n 22050 \r\n"));
    EXPECT_EQ(QDir(game).entryList(QDir::Files | QDir::Hidden), QStringList({"MvstTest.ini"}));
}

TEST_F(OtherAccountTest, DamagedFileThatCannotBeCopiedAsideIsNeverReplaced) {
    const QByteArray damaged = "1\r\n2\r\nnot a flag\r\n";
    ASSERT_TRUE(writeFile(path, damaged));
    mode(path, 0666);
    mode(game, 0755);
    EXPECT_EQ(runAsNobody("save"), status(SettingsLoadStatus::DefaultsOnly, WriteOutcome::Failed));
    EXPECT_EQ(readAll(path), damaged);
    EXPECT_EQ(QDir(game).entryList(QDir::Files | QDir::Hidden), QStringList({"MvstTest.ini"}));

    // Unreadable to the other account: left alone as well.
    mode(game, 0777);
    mode(path, 0600);
    EXPECT_EQ(runAsNobody("save"), status(SettingsLoadStatus::DefaultsOnly, WriteOutcome::Failed));
    EXPECT_EQ(readAll(path), damaged);
}

}  // namespace
}  // namespace morvast
