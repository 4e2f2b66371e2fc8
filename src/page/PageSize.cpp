#include "page/PageSize.h"

#include "platform/Cp932.h"
#include "table/NumberReading.h"

#include <cmath>

namespace {

const QString kNotIntegerError = QStringLiteral("'%1' は整数ではありません");
const QString kPrintAreaLabel = QStringLiteral("印刷範囲");
const QString kTimes = QStringLiteral("×");

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
    // The table's integer reading has a default; a text reads as an integer exactly
    // when two different defaults cannot show through.
    const QByteArray bytes = cp932::encode(text);
    const qint32 value = ReadInteger(bytes, 0);
    if (value != 0)
        return value;
    if (ReadInteger(bytes, 1) == 0)
        return 0;
    return std::nullopt;
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
