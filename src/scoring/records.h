#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

class QFile;
class QIODevice;

namespace morvast {

struct FileStamp;
class SharedLock;

inline constexpr int kMaxRecords = 99;
// The bytes of a line the table keeps; a longer line is cut, and the list shows it cut.
inline constexpr qsizetype kMaxRecordLine = 32 * 1024;

// A row's two lines as the file held them, without their line ends; none for a row made here or
// a score line the file lacked.
struct RowBytes {
    std::optional<QByteArray> name;
    std::optional<QByteArray> score;
};

// The table of the best results in memory: two parallel collections, best first. Change rows
// only through append, insert and ClearRecords, which keep the rows' bytes in step.
struct RecordsTable {
    QStringList colNames;
    // Whole points as a rule; a hand-edited file may hold anything a number can be.
    QList<double> colScores;
    // Rows read from the file are written back with these bytes, so names in another code page
    // and score lines spelled otherwise reach the other copies as they were.
    QList<RowBytes> bytes;

    int count() const { return static_cast<int>(colNames.size()); }
    void ClearRecords();
    void append(const QString& name, double score, RowBytes original = {});
    // Zero-based row a score s would take: the first row with a smaller score, so equal
    // scores go below the ones already there.
    int placeFor(double s) const;
    // Whether s would stay in the table once inserted.
    bool qualifies(double s) const { return placeFor(s) < kMaxRecords; }
    // Inserts s at its place and drops what falls below row 99. Returns the zero-based row, or
    // -1 when the score did not make it into the table.
    int insert(const QString& name, double s);
};

// The one row of a fresh table.
RecordsTable defaultRecords();

// The file's bytes for a table, CR LF after every line: rows read from a file with their own
// bytes; new rows as a name line and a score line (" 1234 ") in the system 8-bit encoding.
QByteArray encodeRecords(const RecordsTable& table);
// Reads the best rows of a file, at most 99: what the game shows and inserts into. CR LF and LF
// both end a line; a last name without its score line keeps score 0. A name not valid in the
// system encoding reads as Windows-1251. A line is kept up to kMaxRecordLine bytes. A line that
// begins with NUL ends the table (what a rewrite in place left, see skipToCurrentContent).
RecordsTable parseRecords(const QByteArray& bytes);
// As parseRecords, from device's current position; it is left where the rows past the 99th
// begin.
RecordsTable readRecordRows(QIODevice& device);
// Writes device's remaining lines to to with CR LF ends, completing a last row that lacks its
// score line, up to a line that begins with NUL. Streams, so the rows past the 99th, however
// long, never have to be in memory.
bool copyRecordRows(QIODevice& device, QIODevice& to);
// The number at the start of a score line after leading blanks; 0 when there is none.
double scoreFromLine(const QString& line);
// A score in decimal without blanks, as the list and the labels show it.
QString scoreText(double score);
// The list line of row i (from 1): "1. Zevok          0".
QString recordsListLine(int i, const QString& name, double score);
// Every row's list line, in table order.
QStringList FillRecordsList(const RecordsTable& table);

// Asks the player for a name; nullopt when the dialog was closed without confirming.
using NameAsker = std::function<std::optional<QString>()>;

enum class ReadStatus {
    Read,        // the file was read
    Created,     // there was no file: it now holds the default row
    Unreadable,  // the file exists but could not be read: default row in memory, file untouched
    NotCreated,  // there was no file and none could be made: default row in memory
};

struct InsertOutcome {
    ReadStatus firstRead = ReadStatus::Read;
    bool asked = false;       // the name dialog was shown
    bool cancelled = false;   // and closed without a name
    bool unwritable = false;  // the table cannot keep a result, so no name was asked
    int row = -1;             // zero-based row of the new result; -1 when not inserted
    bool written = false;     // the file now holds the table in memory
    // For the one plain notice the window shows without blocking (empty: nothing to tell): why
    // results cannot be kept, the first time this copy finds so; or why a result the player
    // named could not be written, every time.
    QString notice;
};

// The records file "MorvastFathers.txt" in the program's folder, shared by every copy started
// from that folder, and by several accounts where the folder allows it. Writers take a lock file
// beside it and re-read the file just before writing, so two copies never lose each other's
// rows. The file keeps its owner, group and permissions: it is replaced atomically where that
// keeps them, so a crash never leaves half a table, and rewritten in place otherwise.
//
// Only the best 99 rows are read; rows past them stay in the file as they are, streamed through
// at each write, until an insertion trims the table.
//
// For a window: give setKeepAlive a call that processes the window's events; at a game start
// show takeNotice() if it holds a text, and after an end of game InsertOutcome::notice if it is
// not empty, each as a plain notice that does not block play. All calls run on the caller's
// thread.
class RecordsFile {
  public:
    static constexpr const char* kFileName = "MorvastFathers.txt";

    // lockTimeoutMs: how long a writer waits for another copy's lock before it writes anyway.
    // staleLockMs: the age at which a lock counts as left by a copy that died.
    explicit RecordsFile(const QString& folder, int lockTimeoutMs = 30000, int staleLockMs = 10000);

    QString path() const { return path_; }
    QString lockPath() const { return path_ + QStringLiteral(".lock"); }

    // Called every few tens of milliseconds while another copy holds the lock, so the caller
    // can keep its window responsive (process its events); false stops the wait, as when the
    // program is asked to end. It must not start another call of this object.
    void setKeepAlive(std::function<bool()> keepAlive) { keepAlive_ = std::move(keepAlive); }

    // Why a finished game's result cannot be kept (the file cannot be read or written, or
    // there is none and the folder refuses a new one); nullopt when it can.
    std::optional<QString> unwritableReason() const;
    // unwritableReason, but only the first time this object finds the table unwritable: for a
    // notice at a game start that InsertRecord then does not repeat.
    std::optional<QString> takeNotice() const;

    // Replaces the table in memory with the file's rows. Without a file, the file is created
    // with the default row; a file that exists but cannot be read is left alone.
    ReadStatus ReadRecords(RecordsTable& table) const;
    // Replaces the file's content with the table's rows (none past them). False when the write
    // failed; the old file then stays as it was.
    bool WriteRecords(const RecordsTable& table) const;
    // The finished game's score s goes into the table with a name from ask; then the file is
    // written (also when nothing was inserted). The table is read afresh first to decide
    // whether to ask, and once more just before the write, so that the row lands against what
    // other copies wrote meanwhile. The lock is never held while ask waits. Where the table
    // cannot keep the result, no name is asked (see InsertOutcome::notice).
    InsertOutcome InsertRecord(RecordsTable& table, int32_t s, const NameAsker& ask) const;

  private:
    enum class Load { Ok, Missing, Unreadable };
    // source, when given, is left open just past the rows read; stamp gets which file was read.
    Load load(RecordsTable& table, QFile* source = nullptr, FileStamp* stamp = nullptr) const;
    // Waits for the lock, keeping the caller alive; false when it could not be had, after the
    // timeout, because the folder takes no lock file or because keepAlive said to stop. The
    // caller then goes on without it.
    bool acquire(SharedLock& lock) const;

    QString path_;
    int lockTimeoutMs_;
    int staleLockMs_;
    std::function<bool()> keepAlive_;
    mutable bool told_ = false;
    mutable bool cleaned_ = false;  // stale temporary files looked for
};

}  // namespace morvast
