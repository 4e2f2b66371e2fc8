#pragma once
// The line-item table of the current record: row 0 holds the column titles, rows
// 1..LineCount the lines. Cells are CP932 bytes. Lowering the row count only hides
// rows; their text stays until the next decode empties the whole table.
#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <vector>

inline constexpr int kTableColumnCount = 6;

// Column indexes, in the order the table stores them.
enum TableColumn : int {
    ColItem = 0,
    ColQuantity = 1,
    ColUnit = 2,
    ColUnitPrice = 3,
    ColAmount = 4,
    ColRemarks = 5,
};

using TableRow = std::array<QByteArray, kTableColumnCount>;

// Row counts outside this range are clamped: the title row always exists, and a
// damaged `linecount` cannot make the table allocate millions of rows.
inline constexpr int kMinTableRowCount = 1;
inline constexpr int kMaxTableRowCount = 10000;

// Default title of a column (0..5) as CP932 bytes; empty for any other column.
const QByteArray& DefaultColumnTitle(int column);

// Empty, or exactly one half-width space.
bool IsBlankCell(QByteArrayView cell);

class LineItemTable {
public:
    // A table of 20 rows (title row plus 19 lines) with empty cells.
    LineItemTable();
    explicit LineItemTable(int rowCount);

    // Rows including the title row (`LineCount` + 1) and the line count itself.
    int rowCount() const { return rowCount_; }
    int lineCount() const { return rowCount_ - 1; }

    // Shows `rowCount` rows (clamped to kMinTableRowCount..kMaxTableRowCount).
    // Rows beyond it are hidden, not erased; rows never filled come in empty.
    void setRowCount(int rowCount);
    void setLineCount(int lineCount) { setRowCount(lineCount + 1); }

    // Cell text; an empty array for a cell outside the shown rows or columns 0..5.
    const QByteArray& cell(int row, int column) const;
    // Ignored for a cell outside the shown rows or columns 0..5.
    void setCell(int row, int column, const QByteArray& text);

    bool isValidRow(int row) const { return row >= 0 && row < rowCount_; }
    // A copy of a shown row; six empty cells for a row outside the table.
    TableRow row(int row) const;
    // The same without the copy; valid until the table changes.
    const TableRow& rowCells(int row) const;
    // Ignored for a row outside the shown rows.
    void setRow(int row, const TableRow& cells);
    void clearRow(int row);

    // True when all six cells of a shown row are blank (also for a row outside).
    bool isRowBlank(int row) const;

    // Empties every cell, hidden rows included.
    void clearAll();
    // Puts the six default titles into row 0.
    void setDefaultTitles();

private:
    std::vector<TableRow> rows_; // shown rows first, then the hidden ones
    int rowCount_ = 0;
};
