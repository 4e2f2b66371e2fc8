#include "invoice/RateGroups.h"

#include <cmath>
#include <limits>

namespace invoice {

namespace {

// Rates come from the record and the settings file; a rate typed as 8 % in either is
// the same rate, whichever way its fraction was stored.
bool sameRate(double a, double b) {
    return std::fabs(a - b) < 1e-9;
}

qint64 saturatingAdd(qint64 a, qint64 b) {
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return sum;
}

} // namespace

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
    const bool separate = !sameRate(recordRate, reducedRate);
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
        g.tax = TaxOnSubtotal(g.subtotal, g.rate);
        totals.total = saturatingAdd(totals.total, saturatingAdd(g.subtotal, g.tax));
    }
    return totals;
}

QString RatePercentText(double rate) {
    // Fifteen significant digits drop the binary noise of the fraction (7.000000000000001).
    return QString::number(static_cast<double>(static_cast<long double>(rate) * 100), 'g', 15);
}

} // namespace invoice
