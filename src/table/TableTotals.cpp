#include "table/TableTotals.h"

#include "table/NumberReading.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

constexpr long double kInt64Bound = 9223372036854775808.0L; // 2^63, exact in long double

qint64 saturatingAdd(qint64 a, qint64 b) {
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    }
    return sum;
}

qint64 truncateToInt64(long double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= kInt64Bound) {
        return std::numeric_limits<qint64>::max();
    }
    if (value < -kInt64Bound) {
        return std::numeric_limits<qint64>::min();
    }
    return static_cast<qint64>(value); // truncates toward zero
}

} // namespace

QByteArray FormatPlainAmount(long double roundedAmount) {
    if (roundedAmount > -kInt64Bound && roundedAmount < kInt64Bound) {
        return QByteArray::number(static_cast<qint64>(roundedAmount)); // -0 becomes "0"
    }
    const int length = std::snprintf(nullptr, 0, "%.0Lf", roundedAmount);
    if (length <= 0) {
        return {};
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::snprintf(buffer.data(), buffer.size(), "%.0Lf", roundedAmount);
    return QByteArray(buffer.data(), length);
}

std::optional<long double> ComputedLineAmount(QByteArrayView quantity, QByteArrayView unitPrice) {
    if (ReadGroupedInteger(quantity, 1) <= 0) {
        return std::nullopt;
    }
    const qint32 price = ReadGroupedInteger(unitPrice, 0);
    if (price <= 0) {
        return std::nullopt;
    }
    const long double amount =
        std::nearbyint(static_cast<long double>(price) * ReadGroupedDecimal(quantity, 1.0L));
    // A quantity near the top of extended precision can overflow the product; such a
    // line keeps the amount it had rather than showing "inf".
    if (!std::isfinite(amount)) {
        return std::nullopt;
    }
    return amount;
}

void DropStaleAmount(LineItemTable& grid, int row, const TableRow& before) {
    if (row < 1 || row > grid.lineCount()) {
        return;
    }
    const TableRow& after = grid.rowCells(row);
    // Only a line that qualified had its amount computed; the amount column itself
    // never decides whether a line qualifies.
    if (ComputedLineAmount(before[ColQuantity], before[ColUnitPrice]) &&
        !ComputedLineAmount(after[ColQuantity], after[ColUnitPrice])) {
        grid.setCell(row, ColAmount, QByteArray());
    }
}

qint64 TaxOnSubtotal(qint64 subtotal, double rate) {
    return truncateToInt64(static_cast<long double>(subtotal) * static_cast<long double>(rate));
}

qint32 LineAmount(const LineItemTable& grid, int row) {
    return ReadGroupedInteger(grid.cell(row, ColAmount), 0);
}

TableTotals SGkei(LineItemTable& grid, double salesTaxRate) {
    const int lineCount = grid.lineCount();
    for (int r = 1; r <= lineCount; ++r) {
        const std::optional<long double> amount =
            ComputedLineAmount(grid.cell(r, ColQuantity), grid.cell(r, ColUnitPrice));
        if (amount) {
            grid.setCell(r, ColAmount, FormatPlainAmount(*amount));
        }
    }

    TableTotals totals;
    for (int r = 1; r <= lineCount; ++r) {
        totals.Subtotal += LineAmount(grid, r);
    }
    totals.TaxAmount = TaxOnSubtotal(totals.Subtotal, salesTaxRate);
    totals.GrandTotal = saturatingAdd(totals.Subtotal, totals.TaxAmount);
    return totals;
}
