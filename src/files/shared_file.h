#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

#include <ctime>
#include <functional>
#include <optional>

class QFile;
class QIODevice;

namespace morvast {

// The names the program keeps in its folder may be shared by several accounts, any of which can
// put a link, a pipe or a folder at one of them. The functions below never follow such a name to
// somewhere else and never block on what they find.

// The bytes of a file to write: head, then whatever rest writes after it (nothing when unset).
// rest may stream from another file, so a large file never has to be held in memory.
struct FileContent {
    QByteArray head;
    std::function<bool(QIODevice& to)> rest;
};

enum class SharedWrite {
    Replaced,  // atomically, by a new file with the old one's owner, group and permissions
    InPlace,   // the old file rewritten: the folder or the ownership did not allow a new file
    Failed,    // the file is as it was
    Changed,   // nothing written: the name no longer holds the file the caller read
};

// Which file a name held when it was read: another copy's write changes it.
struct FileStamp {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};
    bool operator==(const FileStamp& o) const;
};

// The name to open for path: path itself when it is no link; where the link leads when the link
// belongs to this account or to the folder's owner (as the kernel's protected-link rule would
// follow it in a sticky folder); nullopt for any other link, or one that leads nowhere.
std::optional<QString> followedName(const QString& path);

enum class SharedOpen {
    Opened,
    Missing,  // there is nothing at the name
    Refused,  // a link not followed, or something that is not a regular file
    Failed,   // a regular file that could not be opened (permissions)
};

// Opens the file at path for reading, not following a link the rule refuses and never blocking
// on a pipe or a device; f is opened only on Opened. stamp, when given, gets the file's stamp
// (exists false on Missing).
SharedOpen openSharedFile(QFile& f, const QString& path, FileStamp* stamp = nullptr);

// Writes a file that several accounts share from one folder. A new file with the old one's owner,
// group and permissions replaces it atomically where the folder and this account allow that;
// otherwise the old file is rewritten in place, as a player who may write the file but not
// replace it (another account's file, a folder closed for writing) can still do. In place, room
// is taken before the first byte changes, so a full disk leaves the old file whole, and a kill at
// any moment leaves one content or the other (see skipToCurrentContent). A new file in a
// group-writable folder is group-writable and of the folder's group. With expected, the write lands
// only while the name still holds that file (Changed otherwise). error, when given, gets the reason
// of a failure.
SharedWrite writeSharedFile(const QString& path, const FileContent& content,
                            QString* error = nullptr, const FileStamp* expected = nullptr);

// Readers call this at the start of a shared file. A file whose first byte is NUL was being
// rewritten in place when its writer died: its content is what follows its last line that begins
// with NUL. Leaves device there (or at the start); false on a read error. Where the content
// goes on, a line that begins with NUL ends it: such a line holds no text, and is what an
// interrupted rewrite leaves behind the new content. Writers never begin a line with NUL.
bool skipToCurrentContent(QIODevice& device);

enum class FileAccess {
    Writable,      // the file, or when there is none the folder, takes writes from this process
    Unreadable,    // the file exists but is not a readable regular file, or a link not followed
    ReadOnly,      // the file exists and cannot be written
    FolderClosed,  // there is no file and the folder does not let one be made
};

// Copies src to a new file that takes the name dst, whatever was there (dst is never followed
// or written through), reading src in pieces so that a large file never sits in memory whole;
// dst takes src's permissions. False leaves dst as it was.
bool copyFileAtomically(const QString& src, const QString& dst);

// What this process, with its own accounts and groups, may do with path.
FileAccess sharedFileAccess(const QString& path);

// Gives a file this process has just created in folder the folder's group and group write
// permission when the folder is group-writable, so that every member can write it later.
void shareNewFile(int fd, const QString& folder);

// Removes this account's temporary files of path ("<path>.XXXXXX") older than maxAgeSeconds,
// left by a copy killed while it wrote. Never touches another account's file or anything that is
// not a regular file.
void removeStaleTemporaries(const QString& path, qint64 maxAgeSeconds = 3600);

// Seams for tests: a writer calls seam before each step it takes, so a test can stop it or kill
// it there; steps in place write in pieces of chunk bytes, and inPlace rewrites in place even
// where a new file could take the old one's place.
enum class WriteStep { BeforeReplace, Tail, Mark, Head, Clear, First, Truncate };
void setWriteSeam(std::function<void(WriteStep)> seam, qint64 chunk = 64 * 1024,
                  bool inPlace = false);

}  // namespace morvast
