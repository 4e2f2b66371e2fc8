#include "page/PageSize.h"

#include <cmath>
#include <limits>

namespace {

const QString kNotIntegerError = QStringLiteral("'%1' は整数ではありません");
const QString kPrintAreaLabel = QStringLiteral("印刷範囲");
const QString kTimes = QStringLiteral("×");

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Nearest integer, exact halves to the even neighbour, held to 0..kMaxPageEdge so
// that a huge typed scale cannot overflow and a negative one gives no negative size.
int pageEdge(long double pixels) {
    const long double r = std::nearbyint(pixels);
    if (!(r > 0))
        return 0;
    if (r > kMaxPageEdge)
        return kMaxPageEdge;
    return int(r);
}

} // namespace

std::optional<int> readPrintScale(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    } else if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        i += 1;
    }
    if (i >= n)
        return std::nullopt;
    long long value = 0;
    for (; i < n; ++i) {
        const int d = hexValue(text[i]);
        if (d < 0 || d >= base)
            return std::nullopt;
        value = value * base + d;
        if (value > 0x80000000LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

QString printScaleError(const QString& text) {
    return kNotIntegerError.arg(text);
}

PageSizeResult computePageSize(const PrinterCaps& caps, const QString& printScaleText,
                               QPoint pb1Pos) {
    PageSizeResult result;
    const std::optional<int> scale = readPrintScale(printScaleText);
    if (!scale) {
        result.error = printScaleError(printScaleText);
        return result;
    }
    const long double f = static_cast<long double>(*scale) / 100.0L + 1.0L;
    const int h = pageEdge(f * (3.0L * caps.vertSize));
    const int w = pageEdge(f * (3.0L * caps.horzSize));
    result.page = QSize(w, h);
    result.statusText =
        kPrintAreaLabel + QString::number(caps.horzSize) + kTimes + QString::number(caps.vertSize);
    result.pl2Width = pb1Pos.x() + w + 10;
    result.pl2Top = pb1Pos.y() + h;
    return result;
}
