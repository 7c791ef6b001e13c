// The records and settings files in a folder shared by several accounts, each start or finished
// game played by a copy running as its own account. Acting as other accounts needs root (as CI
// runs); elsewhere these cases are skipped.
#include <QDir>
#include <QFileInfo>
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
constexpr uid_t kMallory = 40003;  // a hostile member of the group
constexpr gid_t kPlayers = 40100;  // the group the folder is shared through

// The folder "game" shared through the players' group (root's, mode 2775); Alice's private files
// in her own folder.
class SharedFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() != 0 || QProcess::execute("setpriv", {"--reuid=40001", "--regid=40001",
                                                            "--clear-groups", "true"}) != 0)
            GTEST_SKIP() << "only root can act as other accounts";
        own(root.path(), 0, 0, 0755);
        ASSERT_TRUE(QDir(root.path()).mkdir("game") && QDir(root.path()).mkdir("alice"));
        own(folder(), 0, kPlayers, 02775);
        for (const char* name : {"private", ".bashrc"})
            own(privatePath(name), kAlice, kAlice, 0600, kSecret);
        own(root.filePath("alice"), kAlice, kAlice, 0700);
    }
    // Gives path its owner and mode, after writing bytes into it when there are any.
    static void own(const QString& path, uid_t uid, gid_t gid, mode_t mode,
                    const QByteArray& bytes = {}) {
        ASSERT_TRUE(bytes.isNull() || testing::writeFile(path, bytes));
        const QByteArray p = QFile::encodeName(path);
        ASSERT_TRUE(chown(p.constData(), uid, gid) == 0 && chmod(p.constData(), mode) == 0);
    }
    // The owner, group and permissions of a file, and which file it is.
    static std::tuple<uid_t, gid_t, mode_t, ino_t> owned(const QString& path) {
        struct stat st {};
        stat(QFile::encodeName(path).constData(), &st);
        return {st.st_uid, st.st_gid, st.st_mode & 07777, st.st_ino};
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
        const bool ended = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
        if (!ended) p.kill();
        out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        return ended ? p.exitCode() : -1;
    }
    // One finished game: exit 0 when the row is stored, 4 when no name was asked.
    int play(uid_t uid, const char* name, const char* score = "100") {
        return as(uid, {RECORDS_HELPER, "insert", folder(), name, score});
    }
    int plant(const QString& shell) { return as(kMallory, {"sh", "-c", shell}); }
    // One start and end of the game: "load=<status> save=<outcome>".
    QString settingsAs(uid_t uid) {
        EXPECT_EQ(as(uid, {SETTINGS_HELPER, folder()}), 0);
        return out;
    }
    QString folder() const { return root.filePath("game"); }
    QString file() const { return QDir(folder()).filePath(RecordsFile::kFileName); }
    QString settings() const { return QDir(folder()).filePath("MvstTest.ini"); }
    QString privatePath(const char* name) const { return root.filePath("alice/") + name; }
    QStringList names() const { return parseRecords(readAll(file())).colNames; }
    QStringList inFolder() const {
        return QDir(folder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
    }

    QTemporaryDir root;
    const QByteArray kSecret = "echo the player's own\n";
    QString out;
};

TEST_F(SharedFolder, EveryMemberKeepsTheirRowsAndSettingsAndTheFilesStayTheGroups) {
    own(folder(), 0, kPlayers, 0775);  // new files take the creator's group unless given away
    EXPECT_EQ(play(kAlice, "Alice"), 0);
    const auto first = owned(file());
    EXPECT_EQ(first, std::tuple(kAlice, kPlayers, 0664u, std::get<3>(first)));
    EXPECT_EQ(play(kBob, "Bob", "200"), 0);  // not his: rewritten in place
    EXPECT_EQ(owned(file()), first);
    EXPECT_EQ(play(kAlice, "Alice", "50"), 0);  // her own: replaced atomically, still the group's
    const auto replaced = owned(file());
    EXPECT_EQ(replaced, std::tuple(kAlice, kPlayers, 0664u, std::get<3>(replaced)));
    EXPECT_NE(std::get<3>(replaced), std::get<3>(first));
    EXPECT_EQ(names(), QStringList({"Bob", "Alice", "Alice", "Zevok"}));

    EXPECT_EQ(settingsAs(kAlice), "load=1 save=0");
    EXPECT_EQ(settingsAs(kBob), "load=0 save=1");
    EXPECT_EQ(inFolder(), QStringList({RecordsFile::kFileName, "MvstTest.ini"}));  // no lock left
}

TEST_F(SharedFolder, FilesThatCannotBeReplacedAreRewrittenInPlaceOrLeftAsTheyAre) {
    // A table that cannot keep the result: no name is asked, the notice says why.
    own(folder(), 0, 0, 0777);
    const QByteArray bytes = encodeRecords(testing::generationTable(5));
    for (mode_t mode : {0644, 0600}) {  // readable only, then not even that
        own(file(), 0, 0, mode, bytes);
        EXPECT_EQ(play(kAlice, "Alice"), 4);
        EXPECT_TRUE(out.contains(file())) << out.toStdString();
    }
    EXPECT_EQ(readAll(file()), bytes);
    ASSERT_TRUE(QFile::remove(file()));
    own(folder(), 0, 0, 0755);  // no table, and no way to make one
    EXPECT_EQ(play(kAlice, "Alice"), 4);
    EXPECT_TRUE(out.contains(folder())) << out.toStdString();
    EXPECT_EQ(settingsAs(kAlice), "load=3 save=2");  // the defaults stay in memory
    EXPECT_EQ(inFolder(), QStringList());

    // A file another account owns is written in place where the folder allows no new file (an
    // open folder, where a new file cannot be given to its owner, is the other members' case).
    EXPECT_EQ(settingsAs(0), "load=1 save=0");
    own(settings(), 0, 0, 0646);
    const auto kept = owned(settings());
    EXPECT_EQ(settingsAs(kAlice), "load=0 save=1");
    EXPECT_EQ(owned(settings()), kept);
    EXPECT_TRUE(readAll(settings()).contains("\r\n 22050 \r\n"));
    EXPECT_EQ(inFolder(), QStringList({"MvstTest.ini"}));
}

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
    EXPECT_EQ(play(kAlice, "Alice"), 4);
    EXPECT_TRUE(out.contains(file())) << out.toStdString();
    EXPECT_EQ(readAll(privatePath("private")), kSecret);
    EXPECT_EQ(readAll(privatePath(".bashrc")), kSecret);

    // A link of the player's own is followed.
    const QString table = privatePath("table");
    ASSERT_EQ(as(kAlice, {"sh", "-c",
                          "printf 'Zevok\\r\\n0\\r\\n' >" + table + "; rm " + file() + "; ln -s " +
                              table + " " + file()}),
              0);
    EXPECT_EQ(play(kAlice, "Alice"), 0);
    EXPECT_EQ(parseRecords(readAll(table)).colNames, QStringList({"Alice", "Zevok"}));
}

}  // namespace
}  // namespace morvast
