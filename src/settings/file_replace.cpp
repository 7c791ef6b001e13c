#include "settings/file_replace.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvast {

namespace {

bool writeAll(QSaveFile& f, const char* data, qint64 size) {
    return f.write(data, size) == size && f.error() == QFileDevice::NoError;
}

// Not atomic: the last resort for a file we may write but not replace.
bool writeInPlace(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // Writing before truncating keeps the file's blocks, so a full disk cannot strike halfway
    // unless the new text is longer than the old.
    qsizetype done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else
            ok = false;
    }
    ok = ok && ::ftruncate(fd, off_t(bytes.size())) == 0 && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

}  // namespace

WriteOutcome replaceFileContents(const QString& path, const QByteArray& bytes) {
    const QByteArray native = QFile::encodeName(path);
    struct stat old {};
    const bool exists = ::stat(native.constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return WriteOutcome::Failed;

    QSaveFile f(path);
    f.setDirectWriteFallback(false);
    if (f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // The new file is ours until we hand it back; only an owner (or root) can, and chown
        // drops set-id bits, so the mode follows it.
        const bool kept = !exists || (::fchown(f.handle(), old.st_uid, old.st_gid) == 0 &&
                                      ::fchmod(f.handle(), old.st_mode & 07777) == 0);
        if (kept) {
            if (writeAll(f, bytes.constData(), bytes.size()) && f.commit())
                return WriteOutcome::Replaced;
            f.cancelWriting();
            return WriteOutcome::Failed;
        }
        f.cancelWriting();
    }
    if (!exists) return WriteOutcome::Failed;
    return writeInPlace(native, bytes) ? WriteOutcome::InPlace : WriteOutcome::Failed;
}

bool copyFileAtomically(const QString& src, const QString& dst) {
    QFile in(src);
    if (!in.open(QIODevice::ReadOnly)) return false;
    QSaveFile out(dst);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    out.setPermissions(in.permissions());
    constexpr qint64 kPiece = 64 * 1024;
    QByteArray piece(kPiece, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(piece.data(), kPiece);
        if (n < 0 || (n > 0 && !writeAll(out, piece.constData(), n))) {
            out.cancelWriting();
            return false;
        }
        if (n == 0) break;
    }
    return out.commit();
}

}  // namespace morvast
