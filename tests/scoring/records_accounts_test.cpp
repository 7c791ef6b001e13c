// The records file in a folder shared by several accounts, each finished game played by a copy
// running as its own account. Acting as other accounts needs root (as CI runs); elsewhere these
// cases are skipped.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "records_support.h"

namespace morvast {
namespace {

using testing::readAll;

constexpr uid_t kAlice = 40001;
constexpr uid_t kBob = 40002;
constexpr gid_t kPlayers = 40100;  // the group the folder is shared through

struct Played {
    int code = -1;
    QString notice;
};

// One finished game of the helper, run as account uid (with its own group, and the players'
// group when shared).
Played playAs(uid_t uid, bool shared, const QStringList& args) {
    const QString id = QString::number(uid);
    QStringList a{"--reuid=" + id, "--regid=" + id,
                  shared ? QStringLiteral("--groups=%1").arg(kPlayers) : "--clear-groups",
                  QStringLiteral(RECORDS_HELPER)};
    QProcess p;
    p.start(QStringLiteral("setpriv"), a + args);
    Played r;
    if (p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit) r.code = p.exitCode();
    r.notice = QString::fromUtf8(p.readAllStandardOutput());
    return r;
}

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
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        own(file(), uid, gid, mode);
    }
    struct stat info() const {
        struct stat st {};
        stat(QFile::encodeName(file()).constData(), &st);
        return st;
    }
    Played play(uid_t uid, const QString& name, int score, bool shared = false) {
        return playAs(uid, shared, {"insert", folder(), name, QString::number(score)});
    }
    QString folder() const { return root.filePath("game"); }
    QString file() const { return QDir(folder()).filePath(RecordsFile::kFileName); }
    QStringList names() const { return parseRecords(readAll(file())).colNames; }
    QStringList leftInFolder() const {
        return QDir(folder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
    }

    QTemporaryDir root;
};

TEST_F(RecordsAccounts, TwoAccountsOfASharedGroupBothKeepTheirRowsAndTheFileStaysAsShared) {
    own(folder(), 0, kPlayers, 0775);
    table("Zevok\r\n0\r\n", kAlice, kPlayers, 0664);  // Alice's file, shared with the group
    const ino_t first = info().st_ino;

    EXPECT_EQ(play(kAlice, "Alice", 100, true).code, 0);
    struct stat st = info();
    EXPECT_NE(st.st_ino, first);  // her own file: replaced atomically, still the group's
    EXPECT_EQ(st.st_uid, kAlice);
    EXPECT_EQ(st.st_gid, kPlayers);
    EXPECT_EQ(st.st_mode & 07777, 0664u);

    EXPECT_EQ(play(kBob, "Bob", 200, true).code, 0);
    EXPECT_EQ(play(kAlice, "Alice2", 300, true).code, 0);
    EXPECT_EQ(play(kBob, "Bob2", 50, true).code, 0);
    const struct stat after = info();
    EXPECT_EQ(after.st_uid, kAlice);
    EXPECT_EQ(after.st_gid, kPlayers);
    EXPECT_EQ(after.st_mode & 07777, 0664u);
    EXPECT_EQ(names(), QStringList({"Alice2", "Bob", "Alice", "Bob2", "Zevok"}));
    EXPECT_EQ(leftInFolder(), QStringList({RecordsFile::kFileName}));  // no lock or temporary
}

TEST_F(RecordsAccounts, AFolderClosedForWritingStillTakesTheRowIntoAWritableTable) {
    own(folder(), 0, 0, 0755);
    table(encodeRecords(testing::generationTable(3)), 0, 0, 0666);
    EXPECT_EQ(play(kAlice, "Alice", 2000000).code, 0);
    EXPECT_EQ(names().first(), QStringLiteral("Alice"));
    EXPECT_EQ(names().size(), kMaxRecords);
    EXPECT_EQ(info().st_uid, 0u);
    EXPECT_EQ(info().st_mode & 07777, 0666u);
    EXPECT_EQ(leftInFolder(), QStringList({RecordsFile::kFileName}));
}

TEST_F(RecordsAccounts, ATableThatCannotKeepTheResultAsksNoNameSaysWhyAndStaysAsItWas) {
    own(folder(), 0, 0, 0777);
    const QByteArray bytes = encodeRecords(testing::generationTable(5));
    table(bytes, 0, 0, 0644);  // readable, not writable
    Played r = play(kAlice, "Alice", 2000000);
    EXPECT_EQ(r.code, 4);
    EXPECT_TRUE(r.notice.contains(file())) << r.notice.toStdString();
    EXPECT_EQ(readAll(file()), bytes);

    own(file(), 0, 0, 0600);  // not even readable
    r = play(kAlice, "Alice", 2000000);
    EXPECT_EQ(r.code, 4);
    EXPECT_TRUE(r.notice.contains(file())) << r.notice.toStdString();
    EXPECT_EQ(readAll(file()), bytes);

    ASSERT_TRUE(QFile::remove(file()));
    own(folder(), 0, 0, 0755);  // no table, and no way to make one
    r = play(kAlice, "Alice", 2000000);
    EXPECT_EQ(r.code, 4);
    EXPECT_TRUE(r.notice.contains(folder())) << r.notice.toStdString();
    EXPECT_EQ(leftInFolder(), QStringList());
}

}  // namespace
}  // namespace morvast
