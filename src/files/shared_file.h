#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;

namespace morvast {

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
};

// Writes a file that several accounts share from one folder. A new file with the old one's owner,
// group and permissions replaces it atomically where the folder and this account allow that;
// otherwise the old file is rewritten in place, as a player who may write the file but not
// replace it (another account's file, a folder closed for writing) can still do. In place, room
// is taken before the first byte changes, so a full disk leaves the old file whole. error, when
// given, gets the reason of a failure.
SharedWrite writeSharedFile(const QString& path, const FileContent& content,
                            QString* error = nullptr);

enum class FileAccess {
    Writable,      // the file, or when there is none the folder, takes writes from this process
    Unreadable,    // the file exists but is not a readable regular file
    ReadOnly,      // the file exists and cannot be written
    FolderClosed,  // there is no file and the folder does not let one be made
};

// Copies src over dst atomically, reading src in pieces so that a large file never sits in memory
// whole; dst takes src's permissions. False leaves dst as it was.
bool copyFileAtomically(const QString& src, const QString& dst);

// What this process, with its own accounts and groups, may do with path.
FileAccess sharedFileAccess(const QString& path);

}  // namespace morvast
