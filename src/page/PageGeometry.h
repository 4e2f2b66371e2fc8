#pragma once
// The page's positions for the current record, derived once from the model: what the
// drawing places its blocks by and what the page's mouse tests points against.
#include "invoice/RateGroups.h"
#include "page/PageModel.h"

#include <array>

namespace page {

struct PageGeometry {
    int W = 0, H = 0;       // page size
    int M = 0;              // margin
    int P = 0;              // table position: the top of the title row
    int LH = 0;             // row pitch
    int N = 0;              // lines
    int R = 0;              // W - M, the table's right edge
    int T0 = 0;             // top of line 1
    int Y1 = 0;             // top of the remarks box
    int SX = 0;             // left edge of the sender block
    int SLH = 0;            // sender line pitch
    std::array<int, 6> E{}; // E[1]..E[5], the column borders; E[0] unused
    int totalsRows = 3;     // subtotal, tax, total; two more per further tax rate

    // The totals rows the page draws: a subtotal and a tax row per tax rate of a
    // qualified invoice, then the total; the plain three otherwise.
    static int totalsRowsOf(const PageModel& m) {
        const std::optional<invoice::RateTotals> rates =
            m.table ? invoice::PageRateTotals(*m.table, m.SalesTaxRate, m.invoice) : std::nullopt;
        return rates ? 2 * int(rates->groups.size()) + 1 : 3;
    }

    static PageGeometry of(const PageModel& m, int lineCount) {
        return of(m, lineCount, totalsRowsOf(m));
    }

    static PageGeometry of(const PageModel& m, int lineCount, int totalsRows) {
        PageGeometry g;
        g.W = m.pageWidth;
        g.H = m.pageHeight;
        g.M = m.Margin;
        g.P = m.TablePosition;
        g.LH = m.LineHeight;
        g.N = lineCount;
        g.R = g.W - g.M;
        g.E[1] = m.ColWidth[0];
        for (int k = 2; k <= 5; ++k)
            g.E[k] = g.E[k - 1] + m.ColWidth[k - 1];
        g.T0 = g.P + g.LH;
        g.totalsRows = totalsRows;
        // The remarks keep one free row below the total.
        g.Y1 = g.T0 + (g.N + totalsRows + 2) * g.LH;
        g.SX = g.R - m.SenderSpaceWidth;
        g.SLH = m.SenderLineHeight;
        return g;
    }
};

} // namespace page
