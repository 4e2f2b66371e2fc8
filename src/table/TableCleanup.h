#pragma once
// The two clean-up commands of the table's pop-up menu. Both change only the table
// in memory; the caller repaints.
#include "table/LineItemTable.h"

// Empties every cell of lines 1..LineCount that is exactly " " or exactly "　".
void ASPBLineDel(LineItemTable& grid);

// Runs ASPBLineDel, then fills every all-empty line with " " cells and a full-width
// space as its amount, so every empty line shows its rule on the page.
void ASPBLine(LineItemTable& grid);
