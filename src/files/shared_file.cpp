#include "files/shared_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

namespace morvast {

namespace {

constexpr qint64 kChunk = 64 * 1024;

// With this process's effective accounts and groups, as the writes themselves will be checked.
bool mayAccess(const QByteArray& path, int mode) {
    return faccessat(AT_FDCWD, path.constData(), mode, AT_EACCESS) == 0;
}

bool writeContent(QIODevice& to, const FileContent& content) {
    return to.write(content.head) == content.head.size() && (!content.rest || content.rest(to));
}

// Gives the new file behind fd the old file's owner, group and permissions; false when this
// account may not.
bool takeOwnership(int fd, const struct stat& old) {
    struct stat now {};
    if (fstat(fd, &now) != 0) return false;
    // An owner may hand the file to a group of theirs but never to another account.
    if (now.st_uid != old.st_uid && fchown(fd, old.st_uid, static_cast<gid_t>(-1)) != 0)
        return false;
    if (now.st_gid != old.st_gid && fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0)
        return false;
    // After fchown, which clears set-id bits.
    if (fchmod(fd, old.st_mode & 07777) != 0) return false;
    return fstat(fd, &now) == 0 && now.st_uid == old.st_uid && now.st_gid == old.st_gid &&
           (now.st_mode & 07777) == (old.st_mode & 07777);
}

// nullopt when a new file cannot take the old one's place with its ownership kept.
std::optional<SharedWrite> replace(const QString& path, const FileContent& content,
                                   const struct stat* old, QString* error) {
    QSaveFile f(path);
    // Unbuffered, so that a full disk shows in write(): a failed flush inside commit() can go
    // unnoticed and put a cut-off file in place of the old one.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (old) return std::nullopt;
        *error = f.errorString();
        return SharedWrite::Failed;
    }
    if (old && !takeOwnership(f.handle(), *old)) {
        f.cancelWriting();
        return std::nullopt;
    }
    if (!writeContent(f, content)) {
        *error = f.errorString();
        f.cancelWriting();
        return SharedWrite::Failed;
    }
    if (f.commit()) return SharedWrite::Replaced;
    // A folder with the sticky bit lets only the owner rename over a file.
    if (old && f.error() == QFileDevice::RenameError) return std::nullopt;
    *error = f.errorString();
    return SharedWrite::Failed;
}

bool copyAll(QIODevice& from, QIODevice& to) {
    QByteArray chunk;
    while (!(chunk = from.read(kChunk)).isEmpty())
        if (to.write(chunk) != chunk.size()) return false;
    return from.atEnd();
}

SharedWrite rewriteInPlace(const QString& path, const FileContent& content, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        *error = f.errorString();
        return SharedWrite::Failed;
    }
    // The whole content first: a streamed rest may read from this very file.
    QTemporaryFile staged;
    qint64 size = content.head.size();
    if (content.rest) {
        if (!staged.open() || !writeContent(staged, content) || !staged.flush() ||
            !staged.seek(0)) {
            *error = staged.errorString();
            return SharedWrite::Failed;
        }
        size = staged.size();
    }
    const qint64 oldSize = f.size();
    if (size > oldSize) {
        const QByteArray zeros(kChunk, '\0');
        bool room = f.seek(oldSize);
        for (qint64 left = size - oldSize; room && left > 0; left -= kChunk) {
            const qint64 n = std::min(left, kChunk);
            room = f.write(zeros.constData(), n) == n;
        }
        if (!room) {
            *error = f.errorString();
            f.resize(oldSize);
            return SharedWrite::Failed;
        }
    }
    const bool written =
        f.seek(0) && (content.rest ? copyAll(staged, f) : f.write(content.head) == size);
    if (!written || !f.resize(size)) {
        *error = f.errorString();
        return SharedWrite::Failed;
    }
    return SharedWrite::InPlace;
}

}  // namespace

SharedWrite writeSharedFile(const QString& path, const FileContent& content, QString* error) {
    QString ignored;
    if (!error) error = &ignored;
    struct stat old {};
    const bool exists = stat(QFile::encodeName(path).constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        *error = QStringLiteral("not a regular file");
        return SharedWrite::Failed;
    }
    if (const auto done = replace(path, content, exists ? &old : nullptr, error)) return *done;
    return rewriteInPlace(path, content, error);
}

bool copyFileAtomically(const QString& src, const QString& dst) {
    QFile in(src);
    if (!in.open(QIODevice::ReadOnly)) return false;
    QSaveFile out(dst);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    out.setPermissions(in.permissions());
    if (!copyAll(in, out)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

FileAccess sharedFileAccess(const QString& path) {
    const QByteArray p = QFile::encodeName(path);
    struct stat st {};
    if (stat(p.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || !mayAccess(p, R_OK)) return FileAccess::Unreadable;
        return mayAccess(p, W_OK) ? FileAccess::Writable : FileAccess::ReadOnly;
    }
    if (errno != ENOENT) return FileAccess::Unreadable;
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    return mayAccess(folder, W_OK | X_OK) ? FileAccess::Writable : FileAccess::FolderClosed;
}

}  // namespace morvast
