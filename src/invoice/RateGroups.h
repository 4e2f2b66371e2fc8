#pragma once
// The totals of a qualified invoice: the lines grouped by their tax rate (the record's
// rate, or the reduced rate for an item marked with ※), each group's subtotal and its
// tax rounded once, and the total of all groups.
#include "invoice/InvoiceSettings.h"
#include "table/LineItemTable.h"
#include "table/TableTotals.h"

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

namespace invoice {

// The mark, U+203B, as CP932 bytes.
inline constexpr char kReducedRateMark[] = "\x81\xA6";

// An item text that begins with ※ is taxed at the reduced rate.
bool IsReducedRateItem(QByteArrayView item);

struct RateGroup {
    double rate = 0;
    bool reduced = false; // the group of marked lines at a rate other than the record's
    qint64 subtotal = 0;
    qint64 tax = 0;
    bool operator==(const RateGroup&) const = default;
};

struct RateTotals {
    // The record's rate first. A line joins its rate's group once its amount is not 0;
    // with no such line there is the record's rate alone, at 0.
    std::vector<RateGroup> groups;
    qint64 total = 0;
    // Whether a line of the table carries the mark.
    bool anyMarked = false;

    // Subtotal, tax and total summed over the groups.
    TableTotals sums() const;
};

// Reads the amount cells as they are (run SGkei first for computed amounts).
RateTotals GroupByRate(const LineItemTable& grid, double recordRate, double reducedRate);

// A group's tax: the rate taken as whole hundredths of a percent and the product formed
// in integers, truncated toward zero, so that 6 % of 50 is 3 and 3 % of 100 is 3, which
// the product of a binary fraction misses by a hair.
qint64 TaxAtRate(qint64 subtotal, double rate);

// Rates typed as the same percentage are the same rate, however the fraction was stored.
bool SameRate(double a, double b);

// Whether the record's own rate can head the groups: a record at 0 % or without a rate
// states no rate, so its page keeps the plain totals.
bool HasRecordRate(double recordRate);

// The totals by rate the page shows; none when it shows the plain totals (the mode off,
// or a record without a rate of its own).
std::optional<RateTotals> PageRateTotals(const LineItemTable& grid, double recordRate,
                                         const InvoiceSettings& settings);

// A rate in percent, shortest form: 0.1 is "10", 0.08 is "8", 0.065 is "6.5".
QString RatePercentText(double rate);

} // namespace invoice
