#include "files/shared_lock.h"

#include <QByteArrayList>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>

#include "files/shared_file.h"

namespace morvast {

namespace {

qint64 ageMs(const struct stat& st) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return (now.tv_sec - st.st_mtim.tv_sec) * 1000 + (now.tv_nsec - st.st_mtim.tv_nsec) / 1000000;
}

}  // namespace

SharedLock::~SharedLock() {
    if (fd_ < 0) return;
    // Only the file this object made: a copy that found it stale may have put its own there.
    const QByteArray p = QFile::encodeName(path_);
    struct stat mine {
    }, named{};
    if (fstat(fd_, &mine) == 0 && lstat(p.constData(), &named) == 0 &&
        mine.st_dev == named.st_dev && mine.st_ino == named.st_ino)
        unlink(p.constData());
    close(fd_);
}

SharedLock::Try SharedLock::tryLock() {
    if (fd_ >= 0) return Try::Taken;
    const QByteArray p = QFile::encodeName(path_);
    for (int attempt = 0; attempt < 2; ++attempt) {
        fd_ = open(p.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            shareNewFile(fd_, QFileInfo(path_).absolutePath());
            const QByteArray text = QByteArray::number(qint64(getpid())) + '\n' +
                                    QCoreApplication::applicationName().toUtf8() + '\n' +
                                    QSysInfo::machineHostName().toUtf8() + '\n';
            [[maybe_unused]] const ssize_t n = write(fd_, text.constData(), text.size());
            return Try::Taken;
        }
        if (errno != EEXIST) return Try::Impossible;
        if (!removeIfStale()) return Try::Held;
    }
    return Try::Held;
}

bool SharedLock::removeIfStale() {
    const QByteArray p = QFile::encodeName(path_);
    struct stat seen {};
    if (lstat(p.constData(), &seen) != 0) return errno == ENOENT;
    if (!S_ISREG(seen.st_mode)) return false;
    // A copy writes its lines just after it makes the file: one still empty after a moment
    // was made by a copy that died in between.
    bool stale = ageMs(seen) > (seen.st_size == 0 ? std::min<qint64>(staleMs_, 1000) : staleMs_);
    if (!stale) {
        QFile f;
        if (openSharedFile(f, path_) != SharedOpen::Opened) return false;
        const QByteArrayList lines = f.read(4096).split('\n');
        bool number = false;
        const qint64 pid = lines.value(0).toLongLong(&number);
        // A process of this computer that is gone: the lock was left by a copy that died.
        stale = number && pid > 0 && lines.size() > 2 &&
                lines[2] == QSysInfo::machineHostName().toUtf8() &&
                kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
    }
    struct stat now {};
    // Still the very file judged stale, not one a copy has made since.
    if (!stale || lstat(p.constData(), &now) != 0 || now.st_ino != seen.st_ino ||
        now.st_dev != seen.st_dev || now.st_mtim.tv_sec != seen.st_mtim.tv_sec ||
        now.st_mtim.tv_nsec != seen.st_mtim.tv_nsec)
        return false;
    return unlink(p.constData()) == 0 || errno == ENOENT;
}

}  // namespace morvast
