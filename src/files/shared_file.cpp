#include "files/shared_file.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

namespace morvast {

namespace {

constexpr qint64 kChunk = 64 * 1024;
// Beyond any file: a longer number in a marker line is not a length.
constexpr qint64 kMaxDigitsValue = qint64(1) << 50;

std::function<void(WriteStep)> writeSeam;
qint64 writeChunk = kChunk;
bool writeInPlace = false;

void step(WriteStep s) {
    if (writeSeam) writeSeam(s);
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

FileStamp stampOf(const struct stat& st) {
    return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// Whether the name holds the file of the stamp (or, for a stamp of no file, nothing).
bool holds(const QByteArray& name, const FileStamp& expected) {
    struct stat st {};
    if (lstat(name.constData(), &st) != 0) return errno == ENOENT && !expected.exists;
    return stampOf(st) == expected;
}

// With this process's effective accounts and groups, as the writes themselves will be checked.
bool mayAccess(const QByteArray& path, int mode) {
    return faccessat(AT_FDCWD, path.constData(), mode, AT_EACCESS) == 0;
}

mode_t currentUmask() {
    // Read rather than set and restored, which would race with files made by other threads.
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, f))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(f);
        if (found) return static_cast<mode_t>(mask);
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
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

bool copyAll(QIODevice& from, QIODevice& to) {
    QByteArray chunk;
    while (!(chunk = from.read(kChunk)).isEmpty())
        if (to.write(chunk) != chunk.size()) return false;
    return from.atEnd();
}

// A fresh file beside name, made with O_EXCL so nothing at its name is ever written through.
struct Temporary {
    explicit Temporary(const QByteArray& name) : path(name + ".XXXXXX") {
        fd = mkostemp(path.data(), O_CLOEXEC);
    }
    ~Temporary() {
        if (fd >= 0) {
            close(fd);
            unlink(path.constData());
        }
    }
    // Puts the file in name's place; false leaves both as they were.
    bool rename(const QByteArray& name, bool noReplace) {
        int r = -1;
        if (noReplace) {
            r = renameat2(AT_FDCWD, path.constData(), AT_FDCWD, name.constData(), RENAME_NOREPLACE);
            // A file system without it: a hard link is made only where there is no name either.
            if (r != 0 && (errno == EINVAL || errno == ENOSYS)) {
                r = link(path.constData(), name.constData());
                if (r == 0) unlink(path.constData());
            }
        } else {
            r = ::rename(path.constData(), name.constData());
        }
        if (r != 0) return false;
        close(fd);
        fd = -1;
        return true;
    }
    QByteArray path;
    int fd = -1;
};

bool fail(QString* error, const QString& why) {
    *error = why;
    return false;
}

QString systemError(int e = errno) {
    return QString::fromLocal8Bit(std::strerror(e));
}

// nullopt when a new file cannot take the old one's place with its ownership kept.
std::optional<SharedWrite> replace(const QByteArray& name, const FileContent& content,
                                   const struct stat* old, const FileStamp* expected,
                                   QString* error) {
    Temporary tmp(name);
    if (tmp.fd < 0) {
        if (old) return std::nullopt;
        fail(error, systemError());
        return SharedWrite::Failed;
    }
    if (old) {
        if (!takeOwnership(tmp.fd, *old)) return std::nullopt;
    } else {
        fchmod(tmp.fd, 0666 & ~currentUmask());
        shareNewFile(tmp.fd, QFile::decodeName(folderOf(name)));
    }
    {
        // Unbuffered, so that a full disk shows in write() rather than in a flush at the end.
        QFile f;
        if (!f.open(tmp.fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                    QFileDevice::DontCloseHandle) ||
            !writeContent(f, content) || fsync(tmp.fd) != 0) {
            fail(error, f.error() != QFileDevice::NoError ? f.errorString() : systemError());
            return SharedWrite::Failed;
        }
    }
    step(WriteStep::BeforeReplace);
    if (expected && !holds(name, *expected)) return SharedWrite::Changed;
    if (tmp.rename(name, expected && !expected->exists)) return SharedWrite::Replaced;
    const int e = errno;
    if (e == EEXIST) return SharedWrite::Changed;
    // A folder with the sticky bit lets only the owner rename over a file.
    if (old && (e == EPERM || e == EACCES)) return std::nullopt;
    fail(error, systemError(e));
    return SharedWrite::Failed;
}

// Writes size bytes of data to fd at offset, in pieces, each after the seam of s.
bool put(int fd, qint64 offset, const char* data, qint64 size, WriteStep s) {
    for (qint64 done = 0; done < size;) {
        step(s);
        const qint64 n = std::min(size - done, writeChunk);
        const ssize_t w = pwrite(fd, data + done, static_cast<size_t>(n), offset + done);
        if (w <= 0) return false;
        done += w;
    }
    return true;
}

// The new content of a rewrite in place, read in pieces from memory or from where it was staged.
class Staged {
  public:
    Staged(const FileContent& content, QString* error) : head_(content.head) {
        if (!content.rest) return;
        if (!file_.open() || !writeContent(file_, content) || !file_.flush()) {
            fail(error, file_.errorString());
            ok_ = false;
        }
    }
    bool ok() const { return ok_; }
    qint64 size() const { return file_.isOpen() ? file_.size() : head_.size(); }
    // Calls fn(offset, data, n) for the pieces of [from, to).
    template <class Fn>
    bool pieces(qint64 from, qint64 to, Fn fn) {
        if (!file_.isOpen()) return fn(from, head_.constData() + from, to - from);
        if (!file_.seek(from)) return false;
        for (QByteArray b;
             from < to && !(b = file_.read(std::min(writeChunk, to - from))).isEmpty();
             from += b.size())
            if (!fn(from, b.constData(), b.size())) return false;
        return from == to;
    }

  private:
    QByteArray head_;
    QTemporaryFile file_;
    bool ok_ = true;
};

// The old content O stays readable until the new one N is whole behind it, and N reads from the
// moment the first byte turns NUL: O, a marker line and N; the first byte NUL; N over O from its
// second byte; NULs up to the marker line; N's first byte; the file cut to N. Readers take
// the content after the last complete marker of a file that begins with NUL, and stop at a line
// that begins with NUL otherwise (see skipToCurrentContent).
SharedWrite rewriteInPlace(const QByteArray& name, const FileContent& content,
                           const FileStamp* expected, QString* error) {
    const int fd = open(name.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fail(error, systemError());
        return SharedWrite::Failed;
    }
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};
    struct stat st {};
    struct stat named {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || lstat(name.constData(), &named) != 0 ||
        named.st_ino != st.st_ino || named.st_dev != st.st_dev) {
        fail(error, QStringLiteral("not a regular file"));
        return SharedWrite::Failed;
    }
    Staged n(content, error);
    if (!n.ok()) return SharedWrite::Failed;
    step(WriteStep::BeforeReplace);
    if (expected && !(stampOf(st) == *expected)) return SharedWrite::Changed;

    const qint64 oldSize = st.st_size, newSize = n.size();
    char last = '\n';
    if (oldSize > 0 && pread(fd, &last, 1, oldSize - 1) != 1) {
        fail(error, systemError());
        return SharedWrite::Failed;
    }
    // O; a line end if O lacks one; a line of NULs that ends O for readers; the marker line (a
    // NUL, N's length, a line end) beyond the reach of N written over O; N behind it.
    const QByteArray length = '\0' + QByteArray::number(newSize) + '\n';
    const qint64 gapStart = oldSize + (last == '\n' ? 0 : 1);
    const qint64 marker = std::max(gapStart, newSize) + 2;
    const qint64 tail = marker + length.size();
    QByteArray gap = QByteArray(marker - 1 - gapStart, '\0') + '\n' + length;
    if (gapStart > oldSize) gap.prepend('\n');
    const auto toTail = [&](qint64 at, const char* d, qint64 size) {
        return put(fd, tail + at, d, size, WriteStep::Tail);
    };
    if (!put(fd, oldSize, gap.constData(), gap.size(), WriteStep::Tail) ||
        !n.pieces(0, newSize, toTail) || fsync(fd) != 0) {
        fail(error, systemError());
        [[maybe_unused]] const int r = ftruncate(fd, oldSize);
        return SharedWrite::Failed;
    }
    const auto toHead = [&](qint64 at, const char* d, qint64 size) {
        return put(fd, at, d, size, WriteStep::Head);
    };
    const auto toFirst = [&](qint64, const char* d, qint64) {
        return put(fd, 0, d, 1, WriteStep::First);
    };
    const char nul = 0;
    const QByteArray nuls(marker - 1 - newSize, '\0');
    const bool done = (oldSize == 0 || put(fd, 0, &nul, 1, WriteStep::Mark)) &&
                      fdatasync(fd) == 0 && (newSize <= 1 || n.pieces(1, newSize, toHead)) &&
                      put(fd, newSize, nuls.constData(), nuls.size(), WriteStep::Clear) &&
                      fdatasync(fd) == 0 && (newSize == 0 || n.pieces(0, 1, toFirst)) &&
                      fdatasync(fd) == 0;
    step(WriteStep::Truncate);
    if (!done || ftruncate(fd, newSize) != 0) {
        fail(error, systemError());
        return SharedWrite::Failed;
    }
    return SharedWrite::InPlace;
}

}  // namespace

bool FileStamp::operator==(const FileStamp& o) const {
    if (exists != o.exists) return false;
    return !exists || (dev == o.dev && ino == o.ino && size == o.size &&
                       mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
                       ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec);
}

std::optional<QString> followedName(const QString& path) {
    const QByteArray p = QFile::encodeName(path);
    struct stat link {};
    if (lstat(p.constData(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    struct stat folder {};
    if (link.st_uid != geteuid() &&
        (stat(folderOf(p).constData(), &folder) != 0 || link.st_uid != folder.st_uid))
        return std::nullopt;
    char* real = realpath(p.constData(), nullptr);
    if (!real) return std::nullopt;
    const QString target = QFile::decodeName(real);
    std::free(real);
    return target;
}

SharedOpen openSharedFile(QFile& f, const QString& path, FileStamp* stamp) {
    if (stamp) *stamp = FileStamp{};
    const std::optional<QString> name = followedName(path);
    if (!name) return SharedOpen::Refused;
    const QByteArray p = QFile::encodeName(*name);
    struct stat st {};
    if (lstat(p.constData(), &st) != 0)
        return errno == ENOENT ? SharedOpen::Missing : SharedOpen::Failed;
    // Not even opened: opening some devices does something by itself.
    if (!S_ISREG(st.st_mode)) return SharedOpen::Refused;
    const int fd = open(p.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        return e == ENOENT  ? SharedOpen::Missing
               : e == ELOOP ? SharedOpen::Refused
                            : SharedOpen::Failed;
    }
    // Something else may have taken the name between the look and the open.
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        return SharedOpen::Refused;
    }
    if (stamp) *stamp = stampOf(st);
    return SharedOpen::Opened;
}

SharedWrite writeSharedFile(const QString& path, const FileContent& content, QString* error,
                            const FileStamp* expected) {
    QString ignored;
    if (!error) error = &ignored;
    const std::optional<QString> followed = followedName(path);
    if (!followed) {
        fail(error, QStringLiteral("a link that is not followed"));
        return SharedWrite::Failed;
    }
    const QByteArray name = QFile::encodeName(*followed);
    struct stat old {};
    const bool exists = lstat(name.constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        fail(error, QStringLiteral("not a regular file"));
        return SharedWrite::Failed;
    }
    if (expected && !holds(name, *expected)) return SharedWrite::Changed;
    if (exists && writeInPlace) return rewriteInPlace(name, content, expected, error);
    if (const auto done = replace(name, content, exists ? &old : nullptr, expected, error))
        return *done;
    return rewriteInPlace(name, content, expected, error);
}

bool skipToCurrentContent(QIODevice& device) {
    const qint64 start = device.pos();
    if (device.peek(1) != QByteArray(1, '\0')) return true;
    const qint64 size = device.size();
    // The end of the last complete marker line: NULs, the length of what follows, a line end.
    qint64 pos = start, content = -1, length = 0;
    enum { LineStart, Nuls, Digits, Other } state = LineStart;
    for (QByteArray chunk; !(chunk = device.read(kChunk)).isEmpty(); pos += chunk.size()) {
        const char* d = chunk.constData();
        for (qsizetype i = 0, end = chunk.size(); i < end; ++i) {
            const char c = d[i];
            if (c == '\n') {
                if (state == Digits && size - (pos + i + 1) >= length) content = pos + i + 1;
                state = LineStart;
            } else if (state == LineStart) {
                state = c == '\0' ? Nuls : Other;
            } else if (state == Nuls && c != '\0') {
                state = c >= '0' && c <= '9' ? Digits : Other;
                length = c - '0';
            } else if (state == Digits) {
                state = c >= '0' && c <= '9' && length < kMaxDigitsValue ? Digits : Other;
                length = length * 10 + (c - '0');
            }
            if (state == Other) {
                // The rest of the line says nothing.
                const void* nl = std::memchr(d + i, '\n', end - i);
                if (!nl) break;
                i = static_cast<const char*>(nl) - d - 1;
            }
        }
    }
    if (!device.atEnd()) return false;
    return device.seek(content >= 0 ? content : start);
}

FileAccess sharedFileAccess(const QString& path) {
    const std::optional<QString> followed = followedName(path);
    if (!followed) return FileAccess::Unreadable;
    const QByteArray p = QFile::encodeName(*followed);
    struct stat st {};
    if (lstat(p.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || !mayAccess(p, R_OK)) return FileAccess::Unreadable;
        return mayAccess(p, W_OK) ? FileAccess::Writable : FileAccess::ReadOnly;
    }
    if (errno != ENOENT) return FileAccess::Unreadable;
    return mayAccess(folderOf(p), W_OK | X_OK) ? FileAccess::Writable : FileAccess::FolderClosed;
}

bool copyFileAtomically(const QString& src, const QString& dst) {
    QFile in;
    if (openSharedFile(in, src) != SharedOpen::Opened) return false;
    const QByteArray name = QFile::encodeName(dst);
    Temporary tmp(name);
    if (tmp.fd < 0) return false;
    struct stat st {};
    if (fstat(in.handle(), &st) != 0 || fchmod(tmp.fd, st.st_mode & 0777) != 0) return false;
    shareNewFile(tmp.fd, QFile::decodeName(folderOf(name)));
    QFile out;
    if (!out.open(tmp.fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                  QFileDevice::DontCloseHandle) ||
        !copyAll(in, out) || fsync(tmp.fd) != 0)
        return false;
    // The name itself is replaced: a link there is never followed.
    return tmp.rename(name, false);
}

void shareNewFile(int fd, const QString& folder) {
    struct stat dir {
    }, file{};
    if (stat(QFile::encodeName(folder).constData(), &dir) != 0 || !(dir.st_mode & S_IWGRP) ||
        fstat(fd, &file) != 0)
        return;
    // Only a member of the folder's group may give the file to it; otherwise the file stays the
    // creator's and is not opened to the creator's own group.
    if (file.st_gid != dir.st_gid &&
        (fchown(fd, static_cast<uid_t>(-1), dir.st_gid) != 0 || fstat(fd, &file) != 0))
        return;
    fchmod(fd, (file.st_mode & 0777) | S_IRGRP | S_IWGRP);
}

void removeStaleTemporaries(const QString& path, qint64 maxAgeSeconds) {
    const QByteArray p = QFile::encodeName(path);
    const QByteArray folder = folderOf(p);
    const QByteArray prefix = p.mid(p.lastIndexOf('/') + 1) + '.';
    DIR* dir = opendir(folder.constData());
    if (!dir) return;
    const time_t now = std::time(nullptr);
    while (const dirent* e = readdir(dir)) {
        const QByteArrayView entry(e->d_name);
        // The six letters and digits mkostemp puts after the name.
        if (entry.size() != prefix.size() + 6 || !entry.startsWith(prefix) ||
            !std::all_of(entry.end() - 6, entry.end(),
                         [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
            continue;
        struct stat st {};
        if (fstatat(dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == geteuid() && now - st.st_mtime > maxAgeSeconds)
            unlinkat(dirfd(dir), e->d_name, 0);
    }
    closedir(dir);
}

void setWriteSeam(std::function<void(WriteStep)> seam, qint64 chunk, bool inPlace) {
    writeSeam = std::move(seam);
    writeChunk = chunk;
    writeInPlace = inPlace;
}

}  // namespace morvast
