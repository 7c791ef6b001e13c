// The records file in a folder shared by several accounts, each finished game played by a copy
// running as its own account. Acting as other accounts needs root (as CI runs); elsewhere these
// cases are skipped.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <tuple>

#include "records_support.h"

namespace morvast {
namespace {

using testing::readAll;

constexpr uid_t kAlice = 40001;
constexpr uid_t kBob = 40002;
constexpr gid_t kPlayers = 40100;  // the group the folder is shared through

bool canActAsOtherAccounts() {
    static const bool can =
        geteuid() == 0 && QProcess::execute("setpriv", {"--reuid=40001", "--regid=40001",
                                                        "--clear-groups", "true"}) == 0;
    return can;
}

class RecordsAccounts : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!canActAsOtherAccounts()) GTEST_SKIP() << "only root can act as other accounts";
        ASSERT_EQ(chmod(QFile::encodeName(root.path()).constData(), 0755), 0);
        ASSERT_TRUE(QDir(root.path()).mkdir("game"));
    }
    static void own(const QString& path, uid_t uid, gid_t gid, mode_t mode) {
        const QByteArray p = QFile::encodeName(path);
        ASSERT_EQ(chown(p.constData(), uid, gid), 0);
        ASSERT_EQ(chmod(p.constData(), mode), 0);
    }
    void table(const QByteArray& bytes, uid_t uid, gid_t gid, mode_t mode) {
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        own(file(), uid, gid, mode);
    }
    // The owner, group and permissions of the table, and which file it is.
    std::tuple<uid_t, gid_t, mode_t, ino_t> owned() const {
        struct stat st {};
        stat(QFile::encodeName(file()).constData(), &st);
        return {st.st_uid, st.st_gid, st.st_mode & 07777, st.st_ino};
    }
    // One finished game of the helper as account uid (in its own group, and in the players'
    // group when shared): its exit code, and the notice it printed.
    int play(uid_t uid, const QString& name, bool shared = false) {
        const QString id = QString::number(uid);
        QProcess p;
        p.start("setpriv", {"--reuid=" + id, "--regid=" + id,
                            shared ? QStringLiteral("--groups=%1").arg(kPlayers) : "--clear-groups",
                            RECORDS_HELPER, "insert", folder(), name, "2000000"});
        const bool ended = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
        notice = QString::fromUtf8(p.readAllStandardOutput());
        return ended ? p.exitCode() : -1;
    }
    QString folder() const { return root.filePath("game"); }
    QString file() const { return QDir(folder()).filePath(RecordsFile::kFileName); }
    QStringList names() const { return parseRecords(readAll(file())).colNames; }
    QStringList inFolder() const {
        return QDir(folder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
    }

    QTemporaryDir root;
    QString notice;
};

TEST_F(RecordsAccounts, TwoAccountsOfASharedGroupBothKeepTheirRowsAndTheFileStaysAsShared) {
    own(folder(), 0, kPlayers, 0775);
    table("Zevok\r\n0\r\n", kAlice, kPlayers, 0664);  // Alice's file, shared with the group
    const ino_t first = std::get<3>(owned());

    EXPECT_EQ(play(kAlice, "Alice", true), 0);
    const auto [uid, gid, mode, replaced] = owned();
    EXPECT_EQ(std::tie(uid, gid, mode), std::make_tuple(kAlice, kPlayers, 0664u));
    EXPECT_NE(replaced, first);  // her own file: replaced atomically, still the group's

    EXPECT_EQ(play(kBob, "Bob", true), 0);  // not his: rewritten in place
    EXPECT_EQ(owned(), std::make_tuple(kAlice, kPlayers, 0664u, replaced));
    EXPECT_EQ(names(), QStringList({"Alice", "Bob", "Zevok"}));
    EXPECT_EQ(inFolder(), QStringList({RecordsFile::kFileName}));  // no lock or temporary left
}

TEST_F(RecordsAccounts, AFolderClosedForWritingStillTakesTheRowIntoAWritableTable) {
    own(folder(), 0, 0, 0755);
    table(encodeRecords(testing::generationTable(3)), 0, 0, 0666);
    EXPECT_EQ(play(kAlice, "Alice"), 0);
    EXPECT_EQ(names().first(), QStringLiteral("Alice"));
    EXPECT_EQ(names().size(), kMaxRecords);
    EXPECT_EQ(std::get<2>(owned()), 0666u);
    EXPECT_EQ(inFolder(), QStringList({RecordsFile::kFileName}));
}

TEST_F(RecordsAccounts, ATableThatCannotKeepTheResultAsksNoNameSaysWhyAndStaysAsItWas) {
    own(folder(), 0, 0, 0777);
    const QByteArray bytes = encodeRecords(testing::generationTable(5));
    table(bytes, 0, 0, 0644);  // readable, not writable
    EXPECT_EQ(play(kAlice, "Alice"), 4);
    EXPECT_TRUE(notice.contains(file())) << notice.toStdString();
    own(file(), 0, 0, 0600);  // not even readable
    EXPECT_EQ(play(kAlice, "Alice"), 4);
    EXPECT_TRUE(notice.contains(file())) << notice.toStdString();
    EXPECT_EQ(readAll(file()), bytes);

    ASSERT_TRUE(QFile::remove(file()));
    own(folder(), 0, 0, 0755);  // no table, and no way to make one
    EXPECT_EQ(play(kAlice, "Alice"), 4);
    EXPECT_TRUE(notice.contains(folder())) << notice.toStdString();
    EXPECT_EQ(inFolder(), QStringList());
}

// A folder shared through a group (root's, mode 2775) that the player Alice and Mallory, a hostile
// member, can both write; Alice's private files are in her own folder.
class SharedFolder : public RecordsAccounts {
  protected:
    static constexpr uid_t kMallory = 40003;
    void SetUp() override {
        RecordsAccounts::SetUp();
        if (IsSkipped()) return;
        own(folder(), 0, kPlayers, 02775);
        ASSERT_TRUE(QDir(root.path()).mkdir("alice"));
        for (const char* name : {"private", ".bashrc"}) {
            QFile f(privatePath(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(kSecret) == kSecret.size());
            f.close();
            own(privatePath(name), kAlice, kAlice, 0600);
        }
        own(root.filePath("alice"), kAlice, kAlice, 0700);
    }
    QString privatePath(const char* name) const { return root.filePath("alice/") + name; }
    bool privateFilesKept() const {
        return readAll(privatePath("private")) == kSecret &&
               readAll(privatePath(".bashrc")) == kSecret;
    }
    // cmd run as uid, a member of the players' group, under umask 022; its exit code (-1 when it
    // did not end), its output in out.
    int as(uid_t uid, const QStringList& cmd) {
        const QString id = QString::number(uid);
        QProcess p;
        p.start("setpriv", QStringList{"--reuid=" + id, "--regid=" + id,
                                       QStringLiteral("--groups=%1").arg(kPlayers), "sh", "-c",
                                       "umask 022; exec \"$@\"", "sh"} +
                               cmd);
        const bool ended = p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit;
        if (!ended) p.kill();
        out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        return ended ? p.exitCode() : -1;
    }
    int plant(const QString& shell) { return as(kMallory, {"sh", "-c", shell}); }
    QString settings() const { return QDir(folder()).filePath("MvstTest.ini"); }
    QString settingsAs(uid_t uid) {
        EXPECT_EQ(as(uid, {SETTINGS_HELPER, folder()}), 0);
        return out;
    }

    const QByteArray kSecret = "echo the player's own\n";
    QString out;
};

TEST_F(SharedFolder, LinksPlantedAtTheNamesNeverLeadIntoThePlayersFiles) {
    // The settings file's name leads to a private file: the settings stay in memory.
    ASSERT_EQ(plant("ln -s " + privatePath("private") + " " + settings()), 0);
    EXPECT_EQ(settingsAs(kAlice), "load=3 save=2");
    EXPECT_TRUE(QFileInfo(settings()).isSymLink());

    // A damaged file is copied aside to a new backup, not through the link at its name.
    ASSERT_EQ(plant("rm " + settings() + "; echo 'touch ~/owned' >" + settings() + "; chmod 664 " +
                    settings() + "; ln -s " + privatePath(".bashrc") + " " + settings() + ".bak"),
              0);
    EXPECT_EQ(settingsAs(kAlice), "load=2 save=1");  // Mallory's file is rewritten in place
    EXPECT_FALSE(QFileInfo(settings() + ".bak").isSymLink());
    EXPECT_EQ(readAll(settings() + ".bak"), "touch ~/owned\n");
    EXPECT_TRUE(readAll(settings()).contains("\r\n 22050 \r\n"));

    // The table's name leads to a private file: no name is asked, nothing is written.
    ASSERT_EQ(plant("ln -s " + privatePath("private") + " " + file()), 0);
    EXPECT_EQ(as(kAlice, {RECORDS_HELPER, "insert", folder(), "Alice", "100"}), 4);
    EXPECT_TRUE(out.contains(file())) << out.toStdString();
    EXPECT_TRUE(privateFilesKept());

    // A link of the player's own is followed.
    const QString table = privatePath("table");
    ASSERT_EQ(as(kAlice, {"sh", "-c",
                          "printf 'Zevok\\r\\n0\\r\\n' >" + table + "; rm " + file() + "; ln -s " +
                              table + " " + file()}),
              0);
    EXPECT_EQ(as(kAlice, {RECORDS_HELPER, "insert", folder(), "Alice", "100"}), 0);
    EXPECT_EQ(parseRecords(readAll(table)).colNames, QStringList({"Alice", "Zevok"}));
}

TEST_F(SharedFolder, PipesDevicesAndFoldersAtTheNamesNeverBlock) {
    // At the lock's name: held by "another copy", never opened; the row is written all the same.
    const QString lock = file() + ".lock";
    for (const QString& plantLock :
         {"mkfifo " + lock, "ln -s /dev/zero " + lock, "mkdir " + lock}) {
        SCOPED_TRACE(plantLock.toStdString());
        ASSERT_EQ(plant("rm -rf " + lock + "; " + plantLock), 0);
        EXPECT_EQ(as(kAlice, {RECORDS_HELPER, "quick", folder(), "Alice", "100"}), 0);
        EXPECT_TRUE(QFileInfo(lock).isSymLink() || QFileInfo(lock).exists());
    }
    EXPECT_EQ(names(), QStringList({"Alice", "Alice", "Alice", "Zevok"}));

    ASSERT_EQ(plant("rm -rf " + lock + " " + file() + "; mkfifo " + file() + " " + settings()), 0);
    EXPECT_EQ(as(kAlice, {RECORDS_HELPER, "quick", folder(), "Alice", "100"}), 4);
    EXPECT_EQ(settingsAs(kAlice), "load=3 save=2");
}

TEST_F(SharedFolder, UnderUmask022EveryMemberKeepsTheirRowsAndTheirSettings) {
    EXPECT_EQ(as(kAlice, {RECORDS_HELPER, "insert", folder(), "Alice", "100"}), 0);
    EXPECT_EQ(as(kBob, {RECORDS_HELPER, "insert", folder(), "Bob", "200"}), 0);
    EXPECT_EQ(names(), QStringList({"Bob", "Alice", "Zevok"}));
    EXPECT_EQ(std::get<1>(owned()), kPlayers);
    EXPECT_EQ(std::get<2>(owned()), 0664u);

    EXPECT_EQ(settingsAs(kAlice), "load=1 save=0");
    EXPECT_EQ(settingsAs(kBob), "load=0 save=1");
    EXPECT_EQ(inFolder(), QStringList({"MorvastFathers.txt", "MvstTest.ini"}));
}

}  // namespace
}  // namespace morvast
