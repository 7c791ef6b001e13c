// Where the records and the settings file live: beside a program whose folder can be written,
// else in the player's data folder.
#include "settings/app_paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace morvast {
namespace {

// What f answers for a player's account. Root writes into every folder, so as root f runs in a
// child process under another account and sends its answer back through a pipe.
QString asPlayer(const std::function<QString()>& f) {
    if (::geteuid() != 0) return f();
    int fds[2];
    if (::pipe(fds) != 0) return QStringLiteral("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        if (::setgid(40001) == 0 && ::setuid(40001) == 0) {
            const QByteArray answer = f().toUtf8();
            if (::write(fds[1], answer.constData(), answer.size()) != answer.size()) ::_exit(1);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray answer;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, n);
    ::close(fds[0]);
    ::waitpid(child, nullptr, 0);
    return QString::fromUtf8(answer);
}

TEST(DataFolder, BesideAWritableProgramElseInThePlayersDataFolder) {
    QTemporaryDir tmp;
    const QString program = tmp.filePath(QStringLiteral("program"));
    ASSERT_TRUE(QDir().mkpath(program));
    const QString home = QStringLiteral("/home/p");
    EXPECT_EQ(chooseDataFolder(program, QStringLiteral("/data"), home), program);

    // An installed program: its folder is open to read, closed to write.
    const auto open = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                      QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(tmp.path(), open | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(program, open));
    const QString id = QString::fromUtf8(kGameId);
    const struct {
        const char* xdgDataHome;
        QString folder;
    } cases[] = {
        {"/data", "/data/" + id},
        {"/data/", "/data/" + id},
        {"", home + "/.local/share/" + id},
        {"data", home + "/.local/share/" + id},  // a relative one is ignored
    };
    for (const auto& c : cases)
        EXPECT_EQ(asPlayer([&] {
                      return chooseDataFolder(program, QString::fromUtf8(c.xdgDataHome), home);
                  }),
                  c.folder)
            << c.xdgDataHome;
}

}  // namespace
}  // namespace morvast
