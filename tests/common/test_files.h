#pragma once

// The records and the settings files as the tests write, read and damage them.
#include <QByteArray>
#include <QFile>
#include <QList>

#include <csignal>
#include <random>

#include <sys/resource.h>

namespace morvast::testing {

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Writes beyond the limit fail with EFBIG, as on a full disk.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = old;
        l.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old); }
    rlimit old{};
};

// Damaged copies of a file, from a fixed seed: what an editor, a full disk, a bad copy or another
// program can leave.
class Damage {
  public:
    // longLine: the longest line the reader takes.
    Damage(uint32_t seed, qsizetype longLine) : rng_(seed), longLine_(longLine) {}

    int below(qsizetype n) { return int(std::uniform_int_distribution<qsizetype>(0, n - 1)(rng_)); }
    QByteArray bytes(qsizetype n) {
        QByteArray b(n, '\0');
        for (char& c : b)
            c = char(below(256));
        return b;
    }
    // Numbers no field of the game holds, and lines that only look like numbers.
    QByteArray oddNumber() {
        static const QList<QByteArray> odd =
            QByteArray(
                "99999999999999999999|1e400|-1e400|1e-400|nan|-inf|-0|0x7fffffff|&HFFFF|"
                "2147483648|-2147483649|4294967296|32768|-32769|32767.5|256|-0.6|1e39|"
                "1.7976931348623157e308|4.9e-324|+|.|1e+| \t 12 \t|12abc|\xD9\xA1\xD9\xA2")
                .split('|');
        return odd[below(odd.size())];
    }
    // f damaged one to three times.
    QByteArray operator()(QByteArray f) {
        for (int n = 1 + below(3); n > 0; --n)
            f = once(f);
        return f;
    }

  private:
    QByteArray once(QByteArray f) {
        switch (below(8)) {
            case 0:  // cut off anywhere
                return f.left(below(f.size() + 1));
            case 1:  // bytes overwritten, line ends among them
                for (int n = 1 + below(20); n > 0 && !f.isEmpty(); --n)
                    f[below(f.size())] = below(2) ? char(below(256)) : "\0\r\n"[below(3)];
                return f;
            case 2:  // a run of binary inserted
                return f.insert(below(f.size() + 1), bytes(1 + below(64)));
            case 3:
                return replaceLine(f, oddNumber());
            case 4:  // line ends lost or doubled, or none on the last line
                return below(2) ? f.replace("\n", below(2) ? "\r" : "\r\r\n")
                                : f.chopped(f.endsWith('\n'));
            case 5:  // a line dropped, or two in its place
                return below(2) ? replaceLine(f, {}, true) : replaceLine(f, "True\r\nTrue");
            case 6:  // a long line, sometimes just within the limit
                return replaceLine(f, QByteArray(longLine_ - 1 + below(3), 'L'));
            default:  // not text at all
                return bytes(below(4096));
        }
    }
    QByteArray replaceLine(const QByteArray& f, const QByteArray& line, bool drop = false) {
        QList<QByteArray> l = f.split('\n');
        const int i = below(l.size());
        drop ? void(l.removeAt(i)) : void(l[i] = line + '\r');
        return l.join('\n');
    }

    std::mt19937 rng_;
    qsizetype longLine_;
};

}  // namespace morvast::testing
