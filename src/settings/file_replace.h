#pragma once

#include <QByteArray>
#include <QString>

namespace morvast {

// How a file was written.
enum class WriteOutcome {
    Replaced,  // atomically: a crash or a full disk would have left the old file whole
    InPlace,   // over the old file's bytes: an atomic replace could not keep its owner, group or
               // mode, or the folder allows no new file while the file itself is writable
    Failed,    // nothing changed on disk
};

// Puts bytes into the file at path. The file may be shared by several accounts, so an existing
// file keeps its owner, group and permissions. Writes are unbuffered so that a full disk shows in
// the write itself rather than in a final flush whose failure could go unnoticed. A folder or
// other non-file at path is never replaced. For any thread; blocks on the disk.
WriteOutcome replaceFileContents(const QString& path, const QByteArray& bytes);

// Copies src over dst atomically, reading src in pieces so that a large file never sits in memory
// whole; dst takes src's permissions. False leaves dst as it was.
bool copyFileAtomically(const QString& src, const QString& dst);

}  // namespace morvast
