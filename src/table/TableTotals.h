#pragma once
// Line amounts and the three totals of the table.
#include "table/LineItemTable.h"

#include <QByteArray>
#include <QtGlobal>

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

// A finite rounded amount as plain decimal digits, a minus sign if negative.
QByteArray FormatPlainAmount(long double roundedAmount);
