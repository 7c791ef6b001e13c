#include "files/leading_number.h"

#include <QByteArray>
#include <QString>

#include <cmath>
#include <cstdlib>

#include <locale.h>

namespace morvast {

std::optional<double> leadingNumber(QStringView text) {
    QString line;
    line.reserve(text.size());
    for (QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t')) line += c;
    const qsizetype n = line.size();
    qsizetype p = 0;
    const auto digits = [&] {
        const qsizetype from = p;
        while (p < n && line[p].unicode() >= '0' && line[p].unicode() <= '9')
            ++p;
        return p - from;
    };
    const auto sign = [&] {
        if (p < n && (line[p] == QLatin1Char('+') || line[p] == QLatin1Char('-'))) ++p;
    };
    sign();
    qsizetype mantissa = digits();
    if (p < n && line[p] == QLatin1Char('.')) {
        ++p;
        mantissa += digits();
    }
    if (mantissa == 0) return 0.0;
    qsizetype end = p;
    if (p < n && QStringView(u"eEdD").contains(line[p])) {
        ++p;
        sign();
        if (digits() > 0) end = p;
    }
    QByteArray number = QStringView(line).left(end).toLatin1();
    number.replace('d', 'e').replace('D', 'e');
    // The C locale's point whatever the user's locale; an underflow gives 0, an overflow infinity.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const double v = strtod_l(number.constData(), nullptr, c);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace morvast
