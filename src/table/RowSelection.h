#pragma once
// `RowSelected`: one flag per table row (row 0 included), 1 = selected.
#include <vector>

class RowSelection {
public:
    explicit RowSelection(int rowCount = 0);

    // Resizes to the table's row count: added entries read 0, existing ones keep
    // their value.
    void resize(int rowCount);
    int size() const { return static_cast<int>(RowSelected.size()); }

    // False for a row outside the table.
    bool IsRowSelected(int row) const;
    // Ignored for a row outside the table.
    void ToggleRowSelection(int row);
    void ClearRowSelection();
    // Clears all flags, then selects the row if it is inside the table.
    void SelectOnlyRow(int row);
    // Equal ends change nothing; otherwise exactly the rows between the two
    // (inclusive, clipped to the table) end up selected.
    void SelectRowRange(int anchor, int row);
    // Sets one flag; ignored for a row outside the table. Used when rows move.
    void setRowSelected(int row, bool selected);

    const std::vector<int>& flags() const { return RowSelected; }

private:
    bool contains(int row) const { return row >= 0 && row < size(); }

    std::vector<int> RowSelected;
};
