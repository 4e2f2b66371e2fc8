#pragma once
// The line command that marks items as taxed at the reduced rate: a leading ※ in the
// item text, so the data file keeps its fields and an older reader prints it as text.
#include "table/LineItemTable.h"
#include "table/RowSelection.h"

namespace invoice {

enum class MarkToggle {
    NoLine,   // no selected line with content: nothing changed
    Marked,   // the mark was put before every selected item that lacked it
    Unmarked, // every selected item had it; it was taken off
};

// Acts on the selected lines 1..LineCount that are not all blank (the title row and
// empty lines are left alone). When all of them carry the mark it comes off; otherwise
// the ones without it get it, so a mixed selection ends up marked throughout.
MarkToggle ToggleReducedRateMark(LineItemTable& grid, const RowSelection& selection);

} // namespace invoice
