#include "files/leading_number.h"

#include <QByteArray>

#include <cmath>
#include <cstdlib>

#include <locale.h>

namespace morvast {

std::optional<double> leadingNumber(QStringView line) {
    const qsizetype n = line.size();
    qsizetype p = 0;
    while (p < n && (line[p] == QLatin1Char(' ') || line[p] == QLatin1Char('\t')))
        ++p;
    const qsizetype start = p;
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
    QByteArray number = line.mid(start, end - start).toLatin1();
    number.replace('d', 'e').replace('D', 'e');
    // The C locale's point whatever the user's locale; an underflow gives 0, an overflow infinity.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const double v = strtod_l(number.constData(), nullptr, c);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace morvast
