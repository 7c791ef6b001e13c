#include "settings/settings_format.h"

#include "files/leading_number.h"
#include "files/windows_1251.h"

#include <QBuffer>
#include <QIODevice>
#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace morvast {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

template <typename T>
std::optional<T> nearest(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    // nearbyint rounds in the default mode: to nearest, halves to even.
    const double r = std::nearbyint(v);
    if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
        r > static_cast<double>(std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(r);
}

// Reads the lines of the file one at a time, counting them for the failure message.
class LineReader {
  public:
    LineReader(QIODevice& in, QString* problem) : in_(in), problem_(problem) {}

    bool fail(const QString& why) {
        if (problem_) *problem_ = QStringLiteral("line %1: %2").arg(number_).arg(why);
        return false;
    }

    bool line(QString& out) {
        QByteArray bytes;
        if (!rawLine(bytes)) return false;
        out = decodeSharedLine(bytes);
        return true;
    }

    bool rawLine(QByteArray& bytes) {
        ++number_;
        // One byte over the limit tells a line that is too long from one that just fits.
        bytes = in_.readLine(kMaxSettingsLine + 3);
        if (bytes.isEmpty()) return fail(QStringLiteral("the file ends before this line"));
        if (bytes.endsWith('\n')) {
            bytes.chop(1);
            if (bytes.endsWith('\r')) bytes.chop(1);
        } else if (!in_.atEnd()) {
            return fail(QStringLiteral("the line is longer than %1 bytes").arg(kMaxSettingsLine));
        } else if (bytes.endsWith('\r')) {
            bytes.chop(1);
        }
        if (bytes.size() > kMaxSettingsLine)
            return fail(QStringLiteral("the line is longer than %1 bytes").arg(kMaxSettingsLine));
        return true;
    }

    bool skip() {
        QString ignored;
        return line(ignored);
    }

    bool flag(bool& out) {
        QString text;
        if (!line(text)) return false;
        const auto v = flagValue(text);
        if (!v) return fail(QStringLiteral("\"%1\" is not True or False").arg(text.left(40)));
        out = *v;
        return true;
    }

    // Coordinates are single precision, as the windows' Left and Top.
    bool coordinate(float& out, bool strict) {
        QString text;
        if (!line(text)) return false;
        const auto v = strict ? strictNumber(text) : leadingNumber(text);
        if (!v) return fail(QStringLiteral("\"%1\" is not a number").arg(text.left(40)));
        // Up to half a unit beyond the largest single still rounds to it.
        constexpr double kMax = std::numeric_limits<float>::max();
        static const double limit = kMax + std::ldexp(1.0, 103);
        if (std::fabs(*v) >= limit) return fail(QStringLiteral("the position is out of range"));
        out = static_cast<float>(std::clamp(*v, -kMax, kMax));
        return true;
    }

    template <typename T>
    bool integer(T& out) {
        QString text;
        if (!line(text)) return false;
        const auto v = leadingNumber(text);
        const auto n = v ? nearest<T>(*v) : std::nullopt;
        if (!n)
            return fail(QStringLiteral("\"%1\" is out of the range %2 to %3")
                            .arg(text.left(40))
                            .arg(std::numeric_limits<T>::min())
                            .arg(std::numeric_limits<T>::max()));
        out = *n;
        return true;
    }

    bool path(PathLine& out) {
        QByteArray bytes;
        if (!rawLine(bytes)) return false;
        out.stored = decodeSharedLine(bytes);
        out.used.clear();
        out.bytes = out.stored.toLocal8Bit() == bytes ? QByteArray() : bytes;
        return true;
    }

  private:
    QIODevice& in_;
    QString* problem_;
    int number_ = 0;
};

bool readSideWindow(LineReader& r, SideWindowPlace& w, bool strict) {
    if (!r.flag(w.Visible)) return false;
    if (!w.Visible) return true;
    return r.coordinate(w.Left, strict) && r.coordinate(w.Top, strict);
}

}  // namespace

std::optional<double> strictNumber(const QString& line) {
    qsizetype from = 0, to = line.size();
    while (from < to && isBlank(line[from]))
        ++from;
    while (to > from && isBlank(line[to - 1]))
        --to;
    if (from == to) return std::nullopt;
    bool ok = false;
    const double v = QLocale::system().toDouble(QStringView(line).mid(from, to - from), &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<bool> flagValue(const QString& line) {
    const QString word = line.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    const auto v = strictNumber(line);
    if (!v) return std::nullopt;
    return *v != 0;
}

std::optional<int16_t> nearestInt16(double v) {
    return nearest<int16_t>(v);
}
std::optional<int32_t> nearestInt32(double v) {
    return nearest<int32_t>(v);
}
std::optional<uint8_t> nearestByte(double v) {
    return nearest<uint8_t>(v);
}

QString numberText(int64_t v) {
    return (v < 0 ? QString() : QStringLiteral(" ")) + QString::number(v) + QLatin1Char(' ');
}

QString coordinateText(float v) {
    if (v == std::floor(v) && std::fabs(v) < 1e15f) return numberText(static_cast<int64_t>(v));
    // The shortest text that reads back as the same single-precision value.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    QString text = QString::fromLatin1(buf, res.ptr - buf);
    text.replace(QLatin1Char('.'), QLocale::system().decimalPoint());
    return (v < 0 ? QString() : QStringLiteral(" ")) + text + QLatin1Char(' ');
}

QString flagText(bool v) {
    return v ? QStringLiteral("True") : QStringLiteral("False");
}

bool readSettings(QIODevice& in, Settings& s, QString* problem) {
    LineReader r(in, problem);
    if (!r.coordinate(s.frmMain.Left, false) || !r.coordinate(s.frmMain.Top, false)) return false;
    // The records window's position is read leniently, the other three strictly.
    if (!readSideWindow(r, s.frmMorvasFathers, false) || !readSideWindow(r, s.frmStatistic, true) ||
        !readSideWindow(r, s.frmFuture, true) || !readSideWindow(r, s.frmMP3, true))
        return false;
    if (!r.flag(s.EnableSoundControl) || !r.skip() || !r.path(s.PathToBkgMusic) ||
        !r.flag(s.EnableLoop) || !r.integer(s.bkgVolume) || !r.integer(s.freq))
        return false;
    for (EffectSettings& e : s.effects)
        if (!r.path(e.DMCtrlPath) || !r.flag(e.DMCtrlEnabled) || !r.integer(e.DMCtrlVolume) ||
            !r.integer(e.DMCtrlFreq))
            return false;
    return r.path(s.MP3Path) && r.flag(s.MP3Enable) && r.flag(s.MP3Loop) &&
           r.integer(s.SpeedChange) && r.integer(s.iFantom) && r.flag(s.bDrawSetka);
}

bool parseSettings(const QByteArray& bytes, Settings& s, QString* problem) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readSettings(buffer, s, problem);
}

QByteArray encodeSettings(const Settings& s) {
    QByteArray text;
    const auto line = [&](const QString& l) { text += l.toLocal8Bit() + "\r\n"; };
    const auto side = [&](const SideWindowPlace& w) {
        line(flagText(w.Visible));
        if (!w.Visible) return;
        line(coordinateText(w.Left));
        line(coordinateText(w.Top));
    };
    line(coordinateText(s.frmMain.Left));
    line(coordinateText(s.frmMain.Top));
    side(s.frmMorvasFathers);
    side(s.frmStatistic);
    side(s.frmFuture);
    side(s.frmMP3);
    line(flagText(s.EnableSoundControl));
    line(QString::fromLatin1(kSettingsLabel));
    // A path is one line; a line break in it would shift every line after it. A path longer
    // than the reader takes names no file on any system (a line read in the original's code page
    // can grow in the system encoding) and would cost the whole file at the next start, so the
    // default stands in for it.
    const auto path = [&](const PathLine& p) {
        if (!p.bytes.isEmpty()) {
            text += p.bytes + "\r\n";
            return;
        }
        QString t = p.stored;
        t.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        line(t.toLocal8Bit().size() > kMaxSettingsLine ? QStringLiteral("...") : t);
    };
    path(s.PathToBkgMusic);
    line(flagText(s.EnableLoop));
    line(numberText(s.bkgVolume));
    line(numberText(s.freq));
    for (const EffectSettings& e : s.effects) {
        path(e.DMCtrlPath);
        line(flagText(e.DMCtrlEnabled));
        line(numberText(e.DMCtrlVolume));
        line(numberText(e.DMCtrlFreq));
    }
    path(s.MP3Path);
    line(flagText(s.MP3Enable));
    line(flagText(s.MP3Loop));
    line(numberText(s.SpeedChange));
    line(numberText(s.iFantom));
    line(flagText(s.bDrawSetka));
    return text;
}

QByteArray defaultSettingsBytes() {
    return encodeSettings(Settings{});
}

}  // namespace morvast
