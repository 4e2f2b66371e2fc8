#pragma once
// Line amounts and the three totals of the table.
#include "table/LineItemTable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

// Held in 64 bits so that a table whose amounts add up beyond 2,147,483,647 yen
// still shows the right sums; each cell still reads within 32 bits.
struct TableTotals {
    qint64 Subtotal = 0;
    qint64 TaxAmount = 0;
    qint64 GrandTotal = 0;
};

// Recomputes the amount cell of every line whose quantity and unit price qualify
// (unit price x quantity, rounded half to even in extended precision), then sums
// the amount column over lines 1..LineCount, takes the tax truncated toward zero
// and the total. Writes amount cells; does not encode the table.
TableTotals SGkei(LineItemTable& grid, double salesTaxRate);

// The tax on a subtotal: subtotal x rate formed in extended precision and truncated
// toward zero, once for the whole sum.
qint64 TaxOnSubtotal(qint64 subtotal, double rate);

// The amount SGkei writes for a line of this quantity and unit price: unit price x
// quantity rounded half to even. None when the line does not qualify (a quantity that
// reads as an integer of 0 or less, a price that does not read as an integer above 0)
// or the product is beyond extended precision; such a line keeps its amount as typed.
std::optional<long double> ComputedLineAmount(QByteArrayView quantity, QByteArrayView unitPrice);

// Called after one cell of line `row` changed from `before`: an amount SGkei computed
// for the line as it was is removed once the line no longer qualifies, so it never
// outlives its quantity or price. An amount typed into a line that did not qualify
// stays. The title row and rows outside the table are left alone.
void DropStaleAmount(LineItemTable& grid, int row, const TableRow& before);

// The amount of line `row` as SGkei sums it: 0 when the cell does not read as a number.
qint32 LineAmount(const LineItemTable& grid, int row);

// A finite rounded amount as plain decimal digits, a minus sign if negative.
QByteArray FormatPlainAmount(long double roundedAmount);
