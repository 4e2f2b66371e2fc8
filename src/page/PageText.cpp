#include "page/PageText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace page {

namespace {
const QChar kYenSign(0x00A5);
}

QString FormatAmount(qint64 value, bool yen) {
    // The magnitude as unsigned, so the most negative value keeps its digits too.
    const quint64 magnitude = value < 0 ? quint64(0) - quint64(value) : quint64(value);
    const QString digits = QString::number(magnitude);
    QString out;
    out.reserve(digits.size() + digits.size() / 3 + 2);
    if (yen)
        out += kYenSign;
    if (value < 0)
        out += QLatin1Char('-');
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits[i];
    }
    return out;
}

QString FormatLongDate(const QDate& date) {
    if (!date.isValid())
        return QString();
    return QStringLiteral("%1年%2月%3日")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month())
        .arg(date.day());
}

QString FormatGeneral(long double value) {
    if (value == 0 || !std::isfinite(value))
        return value == 0 ? QStringLiteral("0") : QString();
    // Round to 15 significant digits first; the exponent is that of the rounded value.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14Le", value);
    const QString text = QString::fromLatin1(buf);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    const bool negative = text.startsWith(QLatin1Char('-'));
    QString mantissa = text.left(e);
    mantissa.remove(QLatin1Char('-')).remove(QLatin1Char('.'));
    const int exponent = text.mid(e + 1).toInt();
    while (mantissa.size() > 1 && mantissa.endsWith(QLatin1Char('0')))
        mantissa.chop(1);

    QString out = negative ? QStringLiteral("-") : QString();
    if (exponent < 15 && exponent >= -5) {
        if (exponent >= 0) {
            QString whole = mantissa.left(exponent + 1);
            whole = whole.leftJustified(exponent + 1, QLatin1Char('0'));
            const QString fraction = mantissa.mid(exponent + 1);
            out += whole;
            if (!fraction.isEmpty())
                out += QLatin1Char('.') + fraction;
        } else {
            out += QStringLiteral("0.") + QString(-exponent - 1, QLatin1Char('0')) + mantissa;
        }
        return out;
    }
    out += mantissa.left(1);
    if (mantissa.size() > 1)
        out += QLatin1Char('.') + mantissa.mid(1);
    out += QLatin1Char('E') + QString::number(exponent);
    return out;
}

} // namespace page
