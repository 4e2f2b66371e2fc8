#include "invoice/RateGroups.h"

#include <cmath>
#include <limits>

namespace invoice {

namespace {

qint64 saturatingAdd(qint64 a, qint64 b) {
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return sum;
}

qint64 clampToInt64(__int128 v) {
    if (v > std::numeric_limits<qint64>::max())
        return std::numeric_limits<qint64>::max();
    if (v < std::numeric_limits<qint64>::min())
        return std::numeric_limits<qint64>::min();
    return qint64(v);
}

} // namespace

bool SameRate(double a, double b) {
    return std::fabs(a - b) < 1e-9;
}

bool HasRecordRate(double recordRate) {
    return recordRate > 0; // false for NaN too
}

qint64 TaxAtRate(qint64 subtotal, double rate) {
    const long double hundredths = std::nearbyint(static_cast<long double>(rate) * 10000);
    // A rate no one types (beyond a million percent, or not a number) keeps the plain product.
    if (!(std::fabs(hundredths) <= 1e8))
        return TaxOnSubtotal(subtotal, rate);
    // Integer division truncates toward zero, as the plain form's tax does.
    return clampToInt64(static_cast<__int128>(subtotal) * static_cast<qint64>(hundredths) / 10000);
}

bool IsReducedRateItem(QByteArrayView item) {
    return item.startsWith(QByteArrayView(kReducedRateMark));
}

TableTotals RateTotals::sums() const {
    TableTotals t;
    for (const RateGroup& g : groups) {
        t.Subtotal = saturatingAdd(t.Subtotal, g.subtotal);
        t.TaxAmount = saturatingAdd(t.TaxAmount, g.tax);
    }
    t.GrandTotal = total;
    return t;
}

RateTotals GroupByRate(const LineItemTable& grid, double recordRate, double reducedRate) {
    RateTotals totals;
    RateGroup standard{recordRate, false, 0, 0};
    RateGroup reduced{reducedRate, true, 0, 0};
    const bool separate = !SameRate(recordRate, reducedRate);
    bool standardUsed = false, reducedUsed = false;
    for (int r = 1; r <= grid.lineCount(); ++r) {
        const bool marked = IsReducedRateItem(grid.cell(r, ColItem));
        totals.anyMarked = totals.anyMarked || marked;
        const qint32 amount = LineAmount(grid, r);
        if (amount == 0)
            continue;
        if (marked && separate) {
            reduced.subtotal += amount;
            reducedUsed = true;
        } else {
            standard.subtotal += amount;
            standardUsed = true;
        }
    }
    if (standardUsed || !reducedUsed)
        totals.groups.push_back(standard);
    if (reducedUsed)
        totals.groups.push_back(reduced);
    for (RateGroup& g : totals.groups) {
        g.tax = TaxAtRate(g.subtotal, g.rate);
        totals.total = saturatingAdd(totals.total, saturatingAdd(g.subtotal, g.tax));
    }
    return totals;
}

std::optional<RateTotals> PageRateTotals(const LineItemTable& grid, double recordRate,
                                         const InvoiceSettings& settings) {
    if (!settings.qualified || !HasRecordRate(recordRate))
        return std::nullopt;
    return GroupByRate(grid, recordRate, settings.reducedRate);
}

QString RatePercentText(double rate) {
    // Fifteen significant digits drop the binary noise of the fraction (7.000000000000001).
    return QString::number(static_cast<double>(static_cast<long double>(rate) * 100), 'g', 15);
}

} // namespace invoice
