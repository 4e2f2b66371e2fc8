#pragma once
// The totals of a qualified invoice: the lines grouped by their tax rate (the record's
// rate, or the reduced rate for an item marked with ※), each group's subtotal and its
// tax rounded once, and the total of all groups.
#include "table/LineItemTable.h"
#include "table/TableTotals.h"

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

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

// A rate in percent, shortest form: 0.1 is "10", 0.08 is "8", 0.065 is "6.5".
QString RatePercentText(double rate);

} // namespace invoice
