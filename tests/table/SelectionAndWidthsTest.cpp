#include "table/ColumnWidths.h"
#include "table/RowSelection.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> selectedRows(const RowSelection& selection) {
    std::vector<int> rows;
    for (int r = 0; r < selection.size(); ++r) {
        if (selection.IsRowSelected(r)) {
            rows.push_back(r);
        }
    }
    return rows;
}

TEST(RowSelection, RangeAndSingleSelection) {
    RowSelection selection(21);
    selection.SelectOnlyRow(5);
    selection.SelectRowRange(3, 3);
    EXPECT_EQ(selectedRows(selection), std::vector<int>{5}); // equal ends keep the flags

    selection.SelectRowRange(7, 3);
    EXPECT_EQ(selectedRows(selection), (std::vector<int>{3, 4, 5, 6, 7}));

    selection.SelectRowRange(-3, 1);
    EXPECT_EQ(selectedRows(selection), (std::vector<int>{0, 1}));
    selection.SelectRowRange(19, 1000);
    EXPECT_EQ(selectedRows(selection), (std::vector<int>{19, 20}));

    selection.SelectOnlyRow(21); // beyond LineCount
    EXPECT_TRUE(selectedRows(selection).empty());
}

TEST(RowSelection, ToggleIgnoresRowsOutsideAndResizeKeepsFlags) {
    RowSelection selection(5);
    selection.ToggleRowSelection(2);
    selection.ToggleRowSelection(4);
    selection.ToggleRowSelection(4);
    selection.ToggleRowSelection(-1);
    selection.ToggleRowSelection(5);
    EXPECT_EQ(selection.flags(), (std::vector<int>{0, 0, 1, 0, 0}));
    EXPECT_FALSE(selection.IsRowSelected(-1));
    EXPECT_FALSE(selection.IsRowSelected(99));

    selection.resize(8);
    EXPECT_EQ(selection.flags(), (std::vector<int>{0, 0, 1, 0, 0, 0, 0, 0}));
    selection.resize(2);
    selection.resize(4);
    EXPECT_EQ(selection.flags(), (std::vector<int>{0, 0, 0, 0}));
    selection.SelectRowRange(0, 3);
    selection.ClearRowSelection();
    EXPECT_TRUE(selectedRows(selection).empty());
}

TEST(FitColumnWidths, NarrowsFromTheRightToThePageEdge) {
    const struct {
        ColumnWidths before;
        int pageWidth;
        ColumnWidths after;
    } cases[] = {
        {{230, 40, 40, 90, 90}, 630, {230, 40, 40, 90, 90}},
        {{300, 100, 100, 100, 100}, 630, {300, 100, 100, 100, 16}},
        {{300, 200, 200, 100, 100}, 630, {300, 200, 108, 4, 4}},
        {{700, 40, 40, 90, 90}, 630, {600, 4, 4, 4, 4}},
        {{300, 100, 100, 100, 100}, 2000, {300, 100, 100, 100, 100}}, // never widens
        {{230, 40, 40, 90, 90}, 20, {-10, 4, 4, 4, 4}},               // used as computed
        {{10, 40, 40, 90, 90}, 30, {10, -6, 4, 4, 4}},
    };
    for (const auto& c : cases) {
        ColumnWidths widths = c.before;
        FitColumnWidths(widths, c.pageWidth, 10);
        EXPECT_EQ(widths, c.after) << c.before.ColWidth1 << " on " << c.pageWidth;
    }
}

TEST(ScaleColumnWidths, ScalesByPageWidthRatioRoundingHalfToEven) {
    ColumnWidths widths{230, 40, 40, 90, 90};
    ScaleColumnWidths(widths, 945, 630);
    EXPECT_EQ(widths, (ColumnWidths{345, 60, 60, 135, 135}));

    ColumnWidths halves{5, 7, 1, 3, -5};
    ScaleColumnWidths(halves, 1, 2); // 2.5, 3.5, 0.5, 1.5, -2.5
    EXPECT_EQ(halves, (ColumnWidths{2, 4, 0, 2, -2}));

    ColumnWidths unchanged{230, 40, 40, 90, 90};
    ScaleColumnWidths(unchanged, 945, 0);
    ScaleColumnWidths(unchanged, 2000000000, 1);
    EXPECT_EQ(unchanged, (ColumnWidths{230, 40, 40, 90, 90}));
}

TEST(ColumnSpan, FollowsTheBorders) {
    const ColumnWidths widths{230, 40, 40, 90, 90};
    const std::pair<int, int> expected[] = {{10, 230},  {230, 270}, {270, 310},
                                            {310, 400}, {400, 490}, {490, 620}};
    for (int c = 0; c < 6; ++c) {
        int left = -1;
        int right = -1;
        ASSERT_TRUE(ColumnSpan(widths, c, 630, 10, left, right));
        EXPECT_EQ(std::make_pair(left, right), expected[c]) << c;
    }
    int left = 1;
    int right = 1;
    EXPECT_FALSE(ColumnSpan(widths, 6, 630, 10, left, right));
    EXPECT_FALSE(ColumnSpan(widths, -1, 630, 10, left, right));
}

} // namespace
