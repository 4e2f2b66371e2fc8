#include "invoice/ReducedRateMark.h"

#include "invoice/RateGroups.h"

#include <vector>

namespace invoice {

MarkToggle ToggleReducedRateMark(LineItemTable& grid, const RowSelection& selection) {
    std::vector<int> rows;
    bool allMarked = true;
    for (int r = 1; r <= grid.lineCount(); ++r) {
        if (!selection.IsRowSelected(r) || grid.isRowBlank(r))
            continue;
        rows.push_back(r);
        allMarked = allMarked && IsReducedRateItem(grid.cell(r, ColItem));
    }
    if (rows.empty())
        return MarkToggle::NoLine;

    const QByteArray mark(kReducedRateMark);
    for (int r : rows) {
        const QByteArray& item = grid.cell(r, ColItem);
        if (allMarked) {
            grid.setCell(r, ColItem, item.mid(mark.size()));
        } else if (!IsReducedRateItem(item)) {
            // A blank item cell (" " after a decode) becomes the mark alone.
            grid.setCell(r, ColItem, IsBlankCell(item) ? mark : mark + item);
        }
    }
    return allMarked ? MarkToggle::Unmarked : MarkToggle::Marked;
}

} // namespace invoice
