#include "scoring/records.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <thread>

#include "files/leading_number.h"
#include "files/shared_file.h"
#include "files/shared_lock.h"
#include "files/windows_1251.h"

namespace morvast {

namespace {

const QByteArray kDefaultFile = QByteArrayLiteral("Zevok\r\n0\r\n");
// Short enough that a window kept alive between attempts stays smooth.
constexpr qint64 kLockStepMs = 50;
constexpr qsizetype kCopyBatch = 64 * 1024;
// How often a result is put again against a table another copy wrote meanwhile.
constexpr int kWriteAttempts = 10;

// A name must stay on its one line, or every row after it would shift; a NUL would end the table.
QString oneLine(QString name) {
    name.replace(QLatin1Char('\r'), QLatin1Char(' '));
    name.replace(QLatin1Char('\n'), QLatin1Char(' '));
    name.replace(QChar(0), QLatin1Char(' '));
    return name;
}

// The score line: the sign's place holds a blank for positive numbers, and one blank follows.
QString scoreLine(double score) {
    const QString text = scoreText(score);
    return score < 0 ? text + QLatin1Char(' ') : QLatin1Char(' ') + text + QLatin1Char(' ');
}

QByteArray lineBody(QByteArray line) {
    if (line.endsWith('\n')) line.chop(1);
    if (line.endsWith('\r')) line.chop(1);
    return line;
}

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

bool endsTable(QIODevice& device) {
    return device.peek(1) == QByteArray(1, '\0');
}

// One line without its line end, at most kMaxRecordLine bytes of it: the rest of a longer line is
// read past, never held. nullopt at the end.
std::optional<QByteArray> boundedLine(QIODevice& device) {
    QByteArray line = device.readLine(kMaxRecordLine + 2);
    if (line.isEmpty()) return std::nullopt;
    if (line.endsWith('\n') || (device.atEnd() && line.size() <= kMaxRecordLine + 1))
        return lineBody(line);
    for (QByteArray more; !(more = device.read(kCopyBatch)).isEmpty();) {
        if (const qsizetype nl = more.indexOf('\n'); nl >= 0) {
            device.seek(device.pos() - (more.size() - nl - 1));
            break;
        }
    }
    line.truncate(kMaxRecordLine);
    // Not half a character of UTF-8: a lead byte missing some of its continuation bytes.
    qsizetype k = 0;
    while (k < 3 && k < line.size() && (uchar(line[line.size() - 1 - k]) & 0xC0) == 0x80)
        ++k;
    if (k < line.size()) {
        const uchar lead = uchar(line[line.size() - 1 - k]);
        const qsizetype wants = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : k;
        if (wants > k) line.chop(k + 1);
    }
    return line;
}

}  // namespace

void RecordsTable::ClearRecords() {
    colNames.clear();
    colScores.clear();
    bytes.clear();
}

void RecordsTable::append(const QString& name, double score, RowBytes original) {
    colNames.append(name);
    colScores.append(score);
    bytes.append(std::move(original));
}

int RecordsTable::placeFor(double s) const {
    for (int i = 0; i < count(); ++i)
        if (colScores[i] < s) return i;
    return count();
}

int RecordsTable::insert(const QString& name, double s) {
    const int i = placeFor(s);
    if (i >= kMaxRecords) return -1;
    colNames.insert(i, name);
    colScores.insert(i, s);
    bytes.insert(i, RowBytes{});
    // The table keeps the best 99: the last row read, and any the file holds past it, drop out.
    while (count() > kMaxRecords) {
        colNames.removeLast();
        colScores.removeLast();
        bytes.removeLast();
    }
    return i;
}

RecordsTable defaultRecords() {
    RecordsTable t;
    t.append(QStringLiteral("Zevok"), 0);
    return t;
}

QByteArray encodeRecords(const RecordsTable& table) {
    // Rows changed behind the table's back lose their bytes rather than get another row's.
    const bool inStep = table.bytes.size() == table.count();
    QByteArray out;
    for (int i = 0; i < table.count(); ++i) {
        const RowBytes kept = inStep ? table.bytes[i] : RowBytes{};
        out += kept.name.value_or(oneLine(table.colNames[i]).toLocal8Bit()) + "\r\n";
        out += kept.score.value_or(scoreLine(table.colScores[i]).toLocal8Bit()) + "\r\n";
    }
    return out;
}

RecordsTable readRecordRows(QIODevice& device) {
    RecordsTable t;
    if (!skipToCurrentContent(device)) return t;
    while (t.count() < kMaxRecords && !endsTable(device)) {
        const std::optional<QByteArray> nameLine = boundedLine(device);
        if (!nameLine) break;
        RowBytes row{*nameLine, std::nullopt};
        if (!endsTable(device)) row.score = boundedLine(device);
        // Digits and signs are ASCII in every encoding a copy may use.
        const double score = row.score ? scoreFromLine(QString::fromLatin1(*row.score)) : 0.0;
        const QString name = decodeSharedLine(*row.name);
        t.append(name, score, std::move(row));
    }
    // Nothing past a line that ends the table is a row, nor copied as one.
    if (endsTable(device)) device.seek(device.size());
    return t;
}

RecordsTable parseRecords(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readRecordRows(buffer);
}

bool copyRecordRows(QIODevice& device, QIODevice& to) {
    // In chunks rather than line by line: a table of millions of rows, or one line of hundreds
    // of megabytes, streams through at the speed of the disk and in little memory.
    QByteArray out;
    qint64 lines = 0;
    bool inLine = false;  // bytes of the current line were copied
    bool cr = false;      // a CR held back: it may belong to the line end
    bool ended = false;   // at a line that begins with NUL
    const auto flush = [&] {
        const bool ok = to.write(out) == out.size();
        out.clear();
        return ok;
    };
    for (QByteArray chunk; !ended && !(chunk = device.read(kCopyBatch)).isEmpty();) {
        for (qsizetype from = 0; from < chunk.size();) {
            if (!inLine && chunk[from] == '\0') {
                ended = true;
                break;
            }
            inLine = true;
            const qsizetype nl = chunk.indexOf('\n', from);
            QByteArrayView piece(chunk.constData() + from, (nl < 0 ? chunk.size() : nl) - from);
            if (cr && !piece.isEmpty()) out += '\r';
            if (!piece.isEmpty()) cr = piece.endsWith('\r');
            if (piece.endsWith('\r')) piece.chop(1);
            out += piece;
            if (nl < 0) break;
            out += "\r\n";
            ++lines;
            inLine = cr = false;
            from = nl + 1;
        }
        if (out.size() >= kCopyBatch && !flush()) return false;
    }
    if (!ended && !device.atEnd()) return false;  // a read error
    if (inLine) {
        out += "\r\n";
        ++lines;
    }
    if (lines % 2 != 0) out += scoreLine(0).toLatin1() + "\r\n";
    return flush();
}

double scoreFromLine(const QString& line) {
    return leadingNumber(line).value_or(0);
}

QString scoreText(double score) {
    if (score == std::floor(score) && std::fabs(score) < 1e15)
        return QString::number(static_cast<qint64>(score));
    return QString::number(score, 'g', 15);
}

QString recordsListLine(int i, const QString& name, double score) {
    const QString n = oneLine(name);
    // Names up to 15 characters fill a column of 15; a longer one from a hand-edited file
    // still keeps one blank before the score.
    const qsizetype pad = n.size() <= 15 ? 15 - n.size() : 1;
    return QString::number(i) + QLatin1Char('.') + (i < 10 ? QStringLiteral(" ") : QString()) + n +
           QString(pad, QLatin1Char(' ')) + scoreText(score);
}

QStringList FillRecordsList(const RecordsTable& table) {
    QStringList lines;
    for (int i = 0; i < table.count(); ++i)
        lines << recordsListLine(i + 1, table.colNames[i], table.colScores[i]);
    return lines;
}

RecordsFile::RecordsFile(const QString& folder, int lockTimeoutMs, int staleLockMs)
    : path_(QDir(folder).filePath(QString::fromLatin1(kFileName))),
      lockTimeoutMs_(lockTimeoutMs),
      staleLockMs_(staleLockMs) {}

std::optional<QString> RecordsFile::unwritableReason() const {
    const QString file = shownPath(path_);
    switch (sharedFileAccess(path_)) {
        case FileAccess::Writable:
            return std::nullopt;
        case FileAccess::Unreadable:
            return QStringLiteral(
                       "Файл рекордов %1 не читается: результаты игр в него не "
                       "записываются.")
                .arg(file);
        case FileAccess::ReadOnly:
            return QStringLiteral(
                       "Файл рекордов %1 закрыт для записи: результаты игр в него "
                       "не записываются.")
                .arg(file);
        case FileAccess::FolderClosed:
            return QStringLiteral(
                       "Папка %1 закрыта для записи, файл рекордов в ней не создать: "
                       "результаты игр не записываются.")
                .arg(shownPath(QFileInfo(path_).absolutePath()));
    }
    return std::nullopt;
}

std::optional<QString> RecordsFile::takeNotice() const {
    std::optional<QString> why = unwritableReason();
    if (!why || told_) return std::nullopt;
    told_ = true;
    return why;
}

RecordsFile::Load RecordsFile::load(RecordsTable& table, QFile* source, FileStamp* stamp) const {
    table.ClearRecords();
    QFile local;
    QFile& f = source ? *source : local;
    // A link another account put there, a pipe or a device is never read.
    switch (openSharedFile(f, path_, stamp)) {
        case SharedOpen::Opened:
            break;
        case SharedOpen::Missing:
            return Load::Missing;
        case SharedOpen::Refused:
        case SharedOpen::Failed:
            return Load::Unreadable;
    }
    table = readRecordRows(f);
    return f.error() == QFileDevice::NoError ? Load::Ok : Load::Unreadable;
}

bool RecordsFile::acquire(SharedLock& lock) const {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        switch (lock.tryLock()) {
            case SharedLock::Try::Taken:
                return true;
            case SharedLock::Try::Impossible:
                // A folder that takes no lock file will not take one later either.
                return false;
            case SharedLock::Try::Held:
                break;
        }
        const qint64 left = lockTimeoutMs_ - waited.elapsed();
        if (left <= 0 || (keepAlive_ && !keepAlive_())) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, kLockStepMs)));
    }
}

ReadStatus RecordsFile::ReadRecords(RecordsTable& table) const {
    if (!cleaned_) {
        cleaned_ = true;
        removeStaleTemporaries(path_);
    }
    // A readable file is read; an unreadable one is left alone and the default row stands in.
    const auto settled = [&](Load l) -> std::optional<ReadStatus> {
        if (l == Load::Ok) return ReadStatus::Read;
        if (l == Load::Missing) return std::nullopt;
        table = defaultRecords();
        return ReadStatus::Unreadable;
    };
    if (const auto status = settled(load(table))) return *status;
    // Another copy may create the file at the same moment and write its result into it: the
    // file is made only where there is still none, so that the default row never replaces a
    // real table, and no lock is waited for before the first window.
    const FileStamp none;
    const SharedWrite w = writeSharedFile(path_, {kDefaultFile, {}}, nullptr, &none);
    if (w == SharedWrite::Changed)
        if (const auto status = settled(load(table))) return *status;
    table = defaultRecords();
    return w == SharedWrite::Replaced || w == SharedWrite::InPlace ? ReadStatus::Created
                                                                   : ReadStatus::NotCreated;
}

bool RecordsFile::WriteRecords(const RecordsTable& table) const {
    SharedLock lock(lockPath(), staleLockMs_);
    acquire(lock);
    return writeSharedFile(path_, {encodeRecords(table), {}}) != SharedWrite::Failed;
}

InsertOutcome RecordsFile::InsertRecord(RecordsTable& table, int32_t s,
                                        const NameAsker& ask) const {
    InsertOutcome out;
    out.firstRead = ReadRecords(table);
    if (unwritableReason()) {
        // A name is not asked for a result that cannot be kept.
        out.unwritable = true;
        out.notice = takeNotice().value_or(QString());
        return out;
    }

    std::optional<QString> name;
    if (table.qualifies(s)) {
        out.asked = true;
        name = ask();
        out.cancelled = !name.has_value();
    }

    // Without the lock (another copy keeps it past the timeout, the folder takes no lock file,
    // or the program is asked to end) the result is written all the same, against the file as
    // it is right now.
    SharedLock lock(lockPath(), staleLockMs_);
    acquire(lock);
    for (int attempt = 1;; ++attempt) {
        RecordsTable fresh;
        QFile source;
        FileStamp read;
        switch (load(fresh, &source, &read)) {
            case Load::Ok:
                break;
            case Load::Missing:
                fresh = defaultRecords();
                break;
            case Load::Unreadable:
                // Rows we cannot read must not be replaced by ours.
                table = defaultRecords();
                if (name)
                    out.notice =
                        QStringLiteral("Файл рекордов %1 не читается: результат не записан.")
                            .arg(shownPath(path_));
                return out;
        }
        out.row = name ? fresh.insert(*name, s) : -1;
        FileContent content{encodeRecords(fresh), {}};
        // An insertion trims the table to 99 rows; otherwise the rows past them go through as
        // read.
        if (out.row < 0 && source.isOpen() && !source.atEnd())
            content.rest = [&](QIODevice& to) { return copyRecordRows(source, to); };
        QString error;
        // Lands only on the table just read: a copy that wrote meanwhile (one that gave up
        // waiting for the lock) keeps its row, and ours goes in again against its table.
        const SharedWrite w =
            writeSharedFile(path_, content, &error, attempt < kWriteAttempts ? &read : nullptr);
        if (w == SharedWrite::Changed) continue;
        out.written = w != SharedWrite::Failed;
        if (!out.written && name)
            out.notice = QStringLiteral("Результат не записан в файл рекордов %1: %2")
                             .arg(shownPath(path_), error);
        table = fresh;
        return out;
    }
}

}  // namespace morvast
