#pragma once
// The table's column geometry in page pixels. `ColWidth1` is the right edge of
// column 0 measured from the page's left edge (margin included); `ColWidth2`..
// `ColWidth5` are the widths of columns 1..4; column 5 runs to page width - margin.
#include <QtGlobal>

struct ColumnWidths {
    int ColWidth1 = 220;
    int ColWidth2 = 40;
    int ColWidth3 = 40;
    int ColWidth4 = 90;
    int ColWidth5 = 90;

    bool operator==(const ColumnWidths&) const = default;
};

// Each width := width / oldPageWidth x newPageWidth, rounded half to even in
// extended precision. A zero old width, or a result outside the int range, leaves
// the widths unchanged. The caller stores them into `line1`..`line5`.
void ScaleColumnWidths(ColumnWidths& widths, int newPageWidth, int oldPageWidth);

// Narrows the columns from the right until the table ends at pageWidth - margin,
// the remarks column keeping 4 pixels. Widths may come out negative on a page too
// narrow for the 4-pixel minimums; they are used as computed. Never widens.
void FitColumnWidths(ColumnWidths& widths, int pageWidth, int margin);

// Left and right x of a column 0..5 (borders E1..E5 from the widths); for another
// column both are 0 and the call returns false.
bool ColumnSpan(const ColumnWidths& widths, int column, int pageWidth, int margin, int& left,
                int& right);
