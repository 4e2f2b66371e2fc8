#include "table/ColumnWidths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

int clampToInt(qint64 value) {
    return static_cast<int>(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

} // namespace

void ScaleColumnWidths(ColumnWidths& widths, int newPageWidth, int oldPageWidth) {
    if (oldPageWidth == 0) {
        return;
    }
    std::array<int*, 5> fields = {&widths.ColWidth1, &widths.ColWidth2, &widths.ColWidth3,
                                  &widths.ColWidth4, &widths.ColWidth5};
    std::array<int, 5> scaled{};
    for (size_t i = 0; i < fields.size(); ++i) {
        const long double value =
            std::nearbyint(static_cast<long double>(*fields[i]) / oldPageWidth * newPageWidth);
        if (!(value >= std::numeric_limits<int>::min() &&
              value <= std::numeric_limits<int>::max())) {
            return; // keep all five rather than store a wrapped width
        }
        scaled[i] = static_cast<int>(value);
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        *fields[i] = scaled[i];
    }
}

void FitColumnWidths(ColumnWidths& widths, int pageWidth, int margin) {
    const qint64 w = qint64(pageWidth) - margin;
    qint64 c1 = widths.ColWidth1;
    qint64 c2 = widths.ColWidth2;
    qint64 c3 = widths.ColWidth3;
    qint64 c4 = widths.ColWidth4;
    qint64 c5 = widths.ColWidth5;
    const qint64 s2 = c1 + c2;
    const qint64 s3 = s2 + c3;
    const qint64 s4 = s3 + c4;
    if (w >= s4 + c5) {
        return;
    }
    c5 = w - 4 - s4;
    if (s4 > w) {
        c5 = 4;
        c4 = w - 8 - s3;
    }
    if (s3 > w) {
        c5 = c4 = 4;
        c3 = w - 12 - s2;
    }
    if (s2 > w) {
        c5 = c4 = c3 = 4;
        c2 = w - 16 - c1;
    }
    if (c1 > w) {
        c5 = c4 = c3 = c2 = 4;
        c1 = w - 20;
    }
    widths = {clampToInt(c1), clampToInt(c2), clampToInt(c3), clampToInt(c4), clampToInt(c5)};
}

bool ColumnSpan(const ColumnWidths& widths, int column, int pageWidth, int margin, int& left,
                int& right) {
    const std::array<qint64, 7> edges = {
        margin,
        widths.ColWidth1,
        qint64(widths.ColWidth1) + widths.ColWidth2,
        qint64(widths.ColWidth1) + widths.ColWidth2 + widths.ColWidth3,
        qint64(widths.ColWidth1) + widths.ColWidth2 + widths.ColWidth3 + widths.ColWidth4,
        qint64(widths.ColWidth1) + widths.ColWidth2 + widths.ColWidth3 + widths.ColWidth4 +
            widths.ColWidth5,
        qint64(pageWidth) - margin,
    };
    if (column < 0 || column > 5) {
        left = right = 0;
        return false;
    }
    left = clampToInt(edges[column]);
    right = clampToInt(edges[column + 1]);
    return true;
}
