#pragma once
// The line-item table's stored form: any `Sum` text decodes without harm, and
// GridLoadCSV -> GridSaveCSV -> GridLoadCSV gives the same cells (an empty cell
// may come back as the other blank form, " ") and a text stable from then on.
#include "FuzzCheck.h"
#include "platform/Cp932.h"

#include "table/LineItemTable.h"
#include "table/TableCsv.h"

#include <cstdint>
#include <string>

namespace fuzzsupport {

inline std::string checkTableCsv(const uint8_t* data, size_t size) {
    if (size < 1)
        return {};
    // The first byte picks the row count, as a record's `linecount` would.
    const int rows = 1 + data[0] % 40;
    const QByteArrayView text(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));

    LineItemTable grid(rows);
    GridLoadCSV(grid, text);
    const QByteArray stored = GridSaveCSV(grid);

    LineItemTable again(rows);
    GridLoadCSV(again, stored);
    // An empty cell comes back as " ": both are the blank cell.
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kTableColumnCount; ++c) {
            const QByteArray& before = grid.cell(r, c);
            const QByteArray& after = again.cell(r, c);
            FUZZ_CHECK(after == before || (IsBlankCell(after) && IsBlankCell(before)));
        }
    // From the second trip on the text itself is stable.
    const QByteArray storedAgain = GridSaveCSV(again);
    LineItemTable third(rows);
    GridLoadCSV(third, storedAgain);
    FUZZ_CHECK(GridSaveCSV(third) == storedAgain);

    // Each row on its own line, whatever the cells hold.
    FUZZ_CHECK(SplitTableLines(stored).size() == size_t(rows));
    return {};
}

} // namespace fuzzsupport
