#pragma once
// What a qualified invoice tells before it is printed: a record whose own rate cannot
// head the groups, or one at the reduced rate whose unmarked lines are taxed at it too.
#include "invoice/InvoiceSettings.h"
#include "table/LineItemTable.h"

#include <QString>

namespace invoice {

// Why the page shows the plain totals in qualified mode: the record states no rate of
// its own. Empty when the mode is off or the record has a rate.
QString NoRecordRateNotice(double recordRate, const InvoiceSettings& settings);

// The line the print and PDF confirmations add: the reason above, or a warning when the
// record's rate is the reduced rate while a line without the mark carries an amount
// (a new record at the old default rate looks just like that). Empty otherwise.
QString PrintRateNotice(const LineItemTable& grid, double recordRate,
                        const InvoiceSettings& settings);

} // namespace invoice
