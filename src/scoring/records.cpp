#include "scoring/records.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>
#include <cmath>
#include <optional>

#include "files/leading_number.h"
#include "files/shared_file.h"
#include "files/windows_1251.h"

namespace morvast {

namespace {

const QByteArray kDefaultFile = QByteArrayLiteral("Zevok\r\n0\r\n");
// Short enough that a window kept alive between attempts stays smooth.
constexpr qint64 kLockStepMs = 50;
constexpr qsizetype kCopyBatch = 64 * 1024;

// A name must stay on its one line, or every row after it would shift.
QString oneLine(QString name) {
    name.replace(QLatin1Char('\r'), QLatin1Char(' '));
    name.replace(QLatin1Char('\n'), QLatin1Char(' '));
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
    while (t.count() < kMaxRecords && !device.atEnd()) {
        // Every line read holds at least one byte: an empty one is a read error.
        const QByteArray nameLine = device.readLine();
        if (nameLine.isEmpty()) break;
        RowBytes row{lineBody(nameLine), std::nullopt};
        if (const QByteArray line = device.readLine(); !line.isEmpty()) row.score = lineBody(line);
        // Digits and signs are ASCII in every encoding a copy may use.
        const double score = row.score ? scoreFromLine(QString::fromLatin1(*row.score)) : 0.0;
        const QString name = decodeSharedLine(*row.name);
        t.append(name, score, std::move(row));
    }
    return t;
}

RecordsTable parseRecords(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readRecordRows(buffer);
}

bool copyRecordRows(QIODevice& device, QIODevice& to) {
    // In chunks rather than line by line: a table of millions of rows streams through at the
    // speed of the disk.
    QByteArray out;
    QByteArray carry;  // the start of a line whose end is in a later chunk
    qint64 lines = 0;
    const auto flush = [&] {
        const bool ok = to.write(out) == out.size();
        out.clear();
        return ok;
    };
    for (QByteArray chunk; !(chunk = device.read(kCopyBatch)).isEmpty();) {
        carry += chunk;
        qsizetype from = 0;
        for (qsizetype nl; (nl = carry.indexOf('\n', from)) >= 0; from = nl + 1) {
            const qsizetype end = nl > from && carry[nl - 1] == '\r' ? nl - 1 : nl;
            out.append(carry.constData() + from, end - from).append("\r\n");
            ++lines;
        }
        carry.remove(0, from);
        if (out.size() >= kCopyBatch && !flush()) return false;
    }
    if (!device.atEnd()) return false;  // a read error
    if (!carry.isEmpty()) {
        out += lineBody(carry) + "\r\n";
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

RecordsFile::Load RecordsFile::load(RecordsTable& table, QFile* source) const {
    table.ClearRecords();
    QFile local;
    QFile& f = source ? *source : local;
    f.setFileName(path_);
    const QFileInfo info(path_);
    if (!info.exists()) return Load::Missing;
    // Opening a pipe or a device could wait for ever or never end.
    if (!info.isFile() || !f.open(QIODevice::ReadOnly)) return Load::Unreadable;
    table = readRecordRows(f);
    return f.error() == QFileDevice::NoError ? Load::Ok : Load::Unreadable;
}

bool RecordsFile::acquire(QLockFile& lock) const {
    // A lock older than this was left by a copy that died while holding it, even on another
    // computer where its process cannot be looked up.
    lock.setStaleLockTime(staleLockMs_);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const qint64 left = lockTimeoutMs_ - waited.elapsed();
        if (lock.tryLock(static_cast<int>(std::clamp<qint64>(left, 0, kLockStepMs)))) return true;
        // A folder that takes no lock file will not take one later either.
        if (lock.error() != QLockFile::LockFailedError || left <= 0) return false;
        if (keepAlive_) keepAlive_();
    }
}

ReadStatus RecordsFile::ReadRecords(RecordsTable& table) const {
    // A readable file is read; an unreadable one is left alone and the default row stands in.
    const auto settled = [&](Load l) -> std::optional<ReadStatus> {
        if (l == Load::Ok) return ReadStatus::Read;
        if (l == Load::Missing) return std::nullopt;
        table = defaultRecords();
        return ReadStatus::Unreadable;
    };
    if (const auto status = settled(load(table))) return *status;
    // Another copy may create the file at the same moment and write its result into it: look
    // again under the lock, so that the default row never replaces a real table.
    QLockFile lock(lockPath());
    acquire(lock);
    if (const auto status = settled(load(table))) return *status;
    table = defaultRecords();
    return writeSharedFile(path_, {kDefaultFile, {}}) != SharedWrite::Failed
               ? ReadStatus::Created
               : ReadStatus::NotCreated;
}

bool RecordsFile::WriteRecords(const RecordsTable& table) const {
    QLockFile lock(lockPath());
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

    // Without the lock (another copy keeps it past the timeout, or the folder takes no lock
    // file) the result is written all the same, against the file as it is right now.
    QLockFile lock(lockPath());
    acquire(lock);
    RecordsTable fresh;
    QFile source;
    switch (load(fresh, &source)) {
        case Load::Ok:
            break;
        case Load::Missing:
            fresh = defaultRecords();
            break;
        case Load::Unreadable:
            // Rows we cannot read must not be replaced by ours.
            table = defaultRecords();
            if (name)
                out.notice = QStringLiteral("Файл рекордов %1 не читается: результат не записан.")
                                 .arg(shownPath(path_));
            return out;
    }
    if (name) out.row = fresh.insert(*name, s);
    FileContent content{encodeRecords(fresh), {}};
    // An insertion trims the table to 99 rows; otherwise the rows past them go through as read.
    if (out.row < 0 && source.isOpen() && !source.atEnd())
        content.rest = [&](QIODevice& to) { return copyRecordRows(source, to); };
    QString error;
    out.written = writeSharedFile(path_, content, &error) != SharedWrite::Failed;
    if (!out.written && name)
        out.notice = QStringLiteral("Результат не записан в файл рекордов %1: %2")
                         .arg(shownPath(path_), error);
    table = fresh;
    return out;
}

}  // namespace morvast
