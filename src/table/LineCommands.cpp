#include "table/LineCommands.h"

#include "table/TableCsv.h"

#include <vector>

namespace {

// A row that passes through its text form, as every move of a row does.
void exchangeRows(LineItemTable& grid, int a, int b) {
    const QByteArray lineA = EncodeTableLine(grid.rowCells(a));
    const QByteArray lineB = EncodeTableLine(grid.rowCells(b));
    grid.setRow(a, DecodeTableLine(lineB));
    grid.setRow(b, DecodeTableLine(lineA));
}

// The line of six empty cells is just the separators.
constexpr qsizetype kEmptyLineLength = kTableColumnCount - 1;

} // namespace

LineActionStates LineActionStatesFor(const LineItemTable& grid, int row, int col,
                                     const QByteArray& clipboard) {
    LineActionStates states;
    if (!grid.isValidRow(row) || col < 0 || col >= kTableColumnCount) {
        // Outside the table the row commands have nothing to act on.
        return LineActionStates{false, false, false, false, false, false};
    }
    states.paste = !clipboard.isEmpty();
    states.copy = states.cut = !grid.isRowBlank(row);
    states.del = states.moveUp = row > 0;
    states.moveDown = row < grid.lineCount();
    return states;
}

bool CopyLine(const LineItemTable& grid, int row, QByteArray& clipboard) {
    if (!grid.isValidRow(row))
        return false;
    QByteArray line = EncodeTableLine(grid.rowCells(row));
    if (line.size() <= kEmptyLineLength)
        return false;
    clipboard = std::move(line);
    return true;
}

bool PasteLine(LineItemTable& grid, int row, const QByteArray& clipboard) {
    if (clipboard.isEmpty() || !grid.isValidRow(row))
        return false;
    grid.setRow(row, DecodeTableLine(clipboard));
    return true;
}

void ClearSelectedLines(LineItemTable& grid, const RowSelection& selection) {
    for (int row = 0; row < grid.rowCount(); ++row)
        if (selection.IsRowSelected(row))
            grid.clearRow(row);
}

void DeleteSelectedLines(LineItemTable& grid, const RowSelection& selection) {
    std::vector<QByteArray> kept;
    kept.reserve(size_t(grid.rowCount()));
    for (int row = 0; row < grid.rowCount(); ++row)
        if (!selection.IsRowSelected(row))
            kept.push_back(EncodeTableLine(grid.rowCells(row)));
    const int keptCount = int(kept.size());
    for (int row = 0; row < keptCount; ++row)
        grid.setRow(row, DecodeTableLine(kept[size_t(row)]));
    for (int row = keptCount; row < grid.rowCount(); ++row)
        grid.clearRow(row);
}

bool MoveSelectedLinesUp(LineItemTable& grid, RowSelection& selection) {
    if (selection.IsRowSelected(0))
        return false;
    // Walking downwards from the top carries a block of selected rows up as a whole.
    for (int row = 1; row < grid.rowCount(); ++row) {
        if (!selection.IsRowSelected(row))
            continue;
        exchangeRows(grid, row - 1, row);
        selection.setRowSelected(row, false);
        selection.setRowSelected(row - 1, true);
    }
    return true;
}

bool MoveSelectedLinesDown(LineItemTable& grid, RowSelection& selection) {
    const int last = grid.lineCount();
    if (selection.IsRowSelected(last))
        return false;
    for (int row = last - 1; row >= 0; --row) {
        if (!selection.IsRowSelected(row))
            continue;
        exchangeRows(grid, row, row + 1);
        selection.setRowSelected(row, false);
        selection.setRowSelected(row + 1, true);
    }
    return true;
}
