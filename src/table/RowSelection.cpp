#include "table/RowSelection.h"

#include "table/LineItemTable.h"

#include <algorithm>

RowSelection::RowSelection(int rowCount) {
    resize(rowCount);
}

void RowSelection::resize(int rowCount) {
    // Same bounds as the table, so a damaged row count cannot exhaust memory here either.
    RowSelected.resize(static_cast<size_t>(std::clamp(rowCount, 0, kMaxTableRowCount)), 0);
}

bool RowSelection::IsRowSelected(int row) const {
    return contains(row) && RowSelected[row] == 1;
}

void RowSelection::ToggleRowSelection(int row) {
    if (contains(row)) {
        RowSelected[row] = RowSelected[row] == 1 ? 0 : 1;
    }
}

void RowSelection::ClearRowSelection() {
    std::fill(RowSelected.begin(), RowSelected.end(), 0);
}

void RowSelection::SelectOnlyRow(int row) {
    ClearRowSelection();
    setRowSelected(row, true);
}

void RowSelection::SelectRowRange(int anchor, int row) {
    if (anchor == row) {
        return;
    }
    ClearRowSelection();
    const int first = std::max(std::min(anchor, row), 0);
    const int last = std::min(std::max(anchor, row), size() - 1);
    for (int i = first; i <= last; ++i) {
        RowSelected[i] = 1;
    }
}

void RowSelection::setRowSelected(int row, bool selected) {
    if (contains(row)) {
        RowSelected[row] = selected ? 1 : 0;
    }
}
