#include "table/TableCleanup.h"

#include "table/TableCsv.h"

namespace {

// "　" (full-width space) in CP932.
const QByteArray kFullWidthSpace("\x81\x40", 2);

// Every cell " " except a full-width space as the amount: the amount prints nothing
// visible, but a non-blank cell makes the page draw the line's rule.
const QByteArray kRuleFillerLine(",,,,\x81\x40,", 7);

} // namespace

void ASPBLineDel(LineItemTable& grid) {
    for (int r = 1; r <= grid.lineCount(); ++r) {
        for (int c = 0; c < kTableColumnCount; ++c) {
            const QByteArray& cell = grid.cell(r, c);
            if (cell == " " || cell == kFullWidthSpace) {
                grid.setCell(r, c, QByteArray());
            }
        }
    }
}

void ASPBLine(LineItemTable& grid) {
    ASPBLineDel(grid);
    const TableRow filler = DecodeTableLine(kRuleFillerLine);
    for (int r = 1; r <= grid.lineCount(); ++r) {
        const TableRow cells = grid.row(r);
        bool allEmpty = true;
        for (const QByteArray& cell : cells) {
            allEmpty = allEmpty && cell.isEmpty();
        }
        if (allEmpty) {
            grid.setRow(r, filler);
        }
    }
}
