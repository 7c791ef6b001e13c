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

}  // namespace
}  // namespace morvast
