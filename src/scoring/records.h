#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

class QLockFile;

namespace morvast {

inline constexpr int kMaxRecords = 99;

// The table of the best results in memory: two parallel collections, best first.
struct RecordsTable {
    QStringList colNames;
    // Whole points as a rule; a hand-edited file may hold anything a number can be.
    QList<double> colScores;

    int count() const { return static_cast<int>(colNames.size()); }
    void ClearRecords();
    void append(const QString& name, double score);
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

// The file's bytes for a table: name line, score line (" 1234 "), CR LF, system 8-bit encoding.
QByteArray encodeRecords(const RecordsTable& table);
// Reads the file's bytes; CR LF and LF both end a line. A last name without its score line
// keeps score 0.
RecordsTable parseRecords(const QByteArray& bytes);
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
    bool asked = false;      // the name dialog was shown
    bool cancelled = false;  // and closed without a name
    int row = -1;            // zero-based row of the new result; -1 when not inserted
    bool written = false;    // the file now holds the table in memory
};

// The records file "MorvastFathers.txt" in the program's folder, shared by every copy started
// from that folder. Writers take a lock file beside it and replace the file atomically, so two
// copies never lose each other's rows and a crash never leaves half a table.
class RecordsFile {
  public:
    static constexpr const char* kFileName = "MorvastFathers.txt";

    explicit RecordsFile(const QString& folder, int lockTimeoutMs = 30000, int staleLockMs = 10000);

    QString path() const { return path_; }
    QString lockPath() const { return path_ + QStringLiteral(".lock"); }

    // Replaces the table in memory with the file's rows. Without a file, the file is created
    // with the default row; a file that exists but cannot be read is left alone.
    ReadStatus ReadRecords(RecordsTable& table) const;
    // Replaces the file with the table. False when the lock or the write failed; the old file
    // then stays as it was.
    bool WriteRecords(const RecordsTable& table) const;
    // The finished game's score s goes into the table with a name from ask; then the file is
    // written (also when nothing was inserted). The table is read afresh first to decide
    // whether to ask, and once more under the lock after the answer, so that the row lands
    // against what other copies wrote meanwhile. The lock is never held while ask waits.
    InsertOutcome InsertRecord(RecordsTable& table, int32_t s, const NameAsker& ask) const;

  private:
    enum class Load { Ok, Missing, Unreadable };
    Load load(RecordsTable& table) const;
    bool save(const QByteArray& bytes) const;
    bool acquire(QLockFile& lock) const;

    QString path_;
    int lockTimeoutMs_;
    int staleLockMs_;
};

}  // namespace morvast
