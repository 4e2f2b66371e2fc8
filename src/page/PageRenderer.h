#pragma once
// Draws the page of the current record: title, number and dates, recipient, amount
// box, sender block, line-item table with its totals rows, remarks box, and on
// screen the row highlight, the measuring guide and the page frame.
#include "page/Canvas.h"
#include "page/PageModel.h"
#include "table/TableTotals.h"

#include <QString>

namespace page {

// Runs SGkei on model.table first (rewriting amount cells), then draws the whole page
// onto `canvas`, which must cover pageWidth x pageHeight. Leaves the canvas's pen,
// brush and font as the drawing last set them. Returns the totals it drew.
TableTotals DrawPage(Canvas& canvas, PageModel& model);

// The notice PB1Paint shows below the page when the drawn content runs past its
// bottom edge; empty when everything fits.
QString OverflowNotice(const PageModel& model);

// The title of a document kind (0 estimate, 1 invoice, 2 delivery note) as the page
// prints it; the print confirmation names the document by it.
QString DocumentTitle(int kind);

} // namespace page
