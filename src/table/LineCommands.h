#pragma once
// The line commands on the current record's table: which of them a focused cell
// enables, and what copy, cut, paste, clear, delete and the block moves do to the
// rows and their selection flags. Rows travel through their encoded comma lines, so
// a row that moves keeps its visible content and its empty cells come back as " ".
// Row indexes outside the table are ignored everywhere.
#include "table/LineItemTable.h"
#include "table/RowSelection.h"

#include <QByteArray>

// Enabled states that depend on the focused cell; the other line commands are never
// disabled by the focus.
struct LineActionStates {
    bool copy = true;
    bool paste = true;
    bool cut = true;
    bool del = true;
    bool moveUp = true;
    bool moveDown = true;

    bool operator==(const LineActionStates&) const = default;
};

// For the cell (row, col): all six off outside the table; otherwise paste needs a
// clipboard line, copy and cut a row that is not all blank, delete and move-up a
// line below the titles, move-down a row above the last line.
LineActionStates LineActionStatesFor(const LineItemTable& grid, int row, int col,
                                     const QByteArray& clipboard);

// Copies row `row` as its encoded line into `clipboard` unless the row is six empty
// cells (which encodes to the five commas alone). True when it copied.
bool CopyLine(const LineItemTable& grid, int row, QByteArray& clipboard);

// Decodes `clipboard` into row `row`. False (nothing changed) for an empty clipboard
// or a row outside the table.
bool PasteLine(LineItemTable& grid, int row, const QByteArray& clipboard);

// Empties every selected row; the flags stay.
void ClearSelectedLines(LineItemTable& grid, const RowSelection& selection);

// Removes the selected rows: the others close up from the top, the vacated rows at
// the end come out empty. The row count and the flags stay.
void DeleteSelectedLines(LineItemTable& grid, const RowSelection& selection);

// Moves every selected row one up (a block of adjacent rows moves as a block) with its
// flag. False, and nothing moved, when the title row is selected.
bool MoveSelectedLinesUp(LineItemTable& grid, RowSelection& selection);
// The mirror image; false when the last line is selected.
bool MoveSelectedLinesDown(LineItemTable& grid, RowSelection& selection);
