#include "scoring/records.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <optional>

namespace morvast {

namespace {

const QByteArray kDefaultFile = QByteArrayLiteral("Zevok\r\n0\r\n");

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

}  // namespace

void RecordsTable::ClearRecords() {
    colNames.clear();
    colScores.clear();
}

void RecordsTable::append(const QString& name, double score) {
    colNames.append(name);
    colScores.append(score);
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
    // A hand-edited file may have brought more than 99 rows; the table keeps the best 99.
    while (count() > kMaxRecords) {
        colNames.removeLast();
        colScores.removeLast();
    }
    return i;
}

RecordsTable defaultRecords() {
    RecordsTable t;
    t.append(QStringLiteral("Zevok"), 0);
    return t;
}

QByteArray encodeRecords(const RecordsTable& table) {
    QString text;
    for (int i = 0; i < table.count(); ++i) {
        text += oneLine(table.colNames[i]) + QStringLiteral("\r\n");
        text += scoreLine(table.colScores[i]) + QStringLiteral("\r\n");
    }
    return text.toLocal8Bit();
}

RecordsTable parseRecords(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    // The end of the last line is not the start of another one.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    RecordsTable t;
    for (qsizetype i = 0; i < lines.size(); i += 2) {
        QByteArray name = lines[i];
        if (name.endsWith('\r')) name.chop(1);
        const double score =
            i + 1 < lines.size() ? scoreFromLine(QString::fromLocal8Bit(lines[i + 1])) : 0.0;
        t.append(QString::fromLocal8Bit(name), score);
    }
    return t;
}

double scoreFromLine(const QString& line) {
    qsizetype p = 0;
    const qsizetype n = line.size();
    while (p < n && (line[p] == QLatin1Char(' ') || line[p] == QLatin1Char('\t')))
        ++p;
    const qsizetype start = p;
    auto digits = [&] {
        const qsizetype from = p;
        while (p < n && line[p].isDigit() && line[p].unicode() < 128)
            ++p;
        return p - from;
    };
    if (p < n && (line[p] == QLatin1Char('+') || line[p] == QLatin1Char('-'))) ++p;
    qsizetype mantissa = digits();
    if (p < n && line[p] == QLatin1Char('.')) {
        ++p;
        mantissa += digits();
    }
    if (mantissa == 0) return 0;
    qsizetype end = p;
    if (p < n && QStringLiteral("eEdD").contains(line[p])) {
        ++p;
        if (p < n && (line[p] == QLatin1Char('+') || line[p] == QLatin1Char('-'))) ++p;
        if (digits() > 0) end = p;
    }
    QString number = line.mid(start, end - start);
    number.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
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

RecordsFile::Load RecordsFile::load(RecordsTable& table) const {
    table.ClearRecords();
    QFile f(path_);
    if (!f.exists()) return Load::Missing;
    if (!f.open(QIODevice::ReadOnly)) return Load::Unreadable;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return Load::Unreadable;
    table = parseRecords(bytes);
    return Load::Ok;
}

bool RecordsFile::save(const QByteArray& bytes) const {
    QSaveFile f(path_);
    // Unbuffered, so that a full disk shows in write(): a failed flush inside commit() can go
    // unnoticed and put a cut-off file in place of the old one.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    if (f.write(bytes) != bytes.size() || f.error() != QFileDevice::NoError) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

bool RecordsFile::acquire(QLockFile& lock) const {
    // A lock older than this was left by a copy that died while holding it, even on another
    // computer where its process cannot be looked up.
    lock.setStaleLockTime(staleLockMs_);
    return lock.tryLock(lockTimeoutMs_);
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
    if (!acquire(lock)) {
        table = defaultRecords();
        return ReadStatus::NotCreated;
    }
    if (const auto status = settled(load(table))) return *status;
    table = defaultRecords();
    return save(kDefaultFile) ? ReadStatus::Created : ReadStatus::NotCreated;
}

bool RecordsFile::WriteRecords(const RecordsTable& table) const {
    QLockFile lock(lockPath());
    if (!acquire(lock)) return false;
    return save(encodeRecords(table));
}

InsertOutcome RecordsFile::InsertRecord(RecordsTable& table, int32_t s,
                                        const NameAsker& ask) const {
    InsertOutcome out;
    out.firstRead = ReadRecords(table);

    std::optional<QString> name;
    if (table.qualifies(s)) {
        out.asked = true;
        name = ask();
        out.cancelled = !name.has_value();
    }

    QLockFile lock(lockPath());
    if (!acquire(lock)) return out;
    RecordsTable fresh;
    switch (load(fresh)) {
        case Load::Ok:
            break;
        case Load::Missing:
            fresh = defaultRecords();
            break;
        case Load::Unreadable:
            // Rows we cannot read must not be replaced by ours.
            table = defaultRecords();
            return out;
    }
    if (name) out.row = fresh.insert(*name, s);
    out.written = save(encodeRecords(fresh));
    table = fresh;
    return out;
}

}  // namespace morvast
