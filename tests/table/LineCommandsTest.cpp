#include "table/LineCommands.h"
#include "TableTestText.h"
#include "table/TableCsv.h"

#include <gtest/gtest.h>

namespace {

// A table of `lines` lines whose item cell names its original row: "L1", "L2", ...
LineItemTable numberedTable(int lines) {
    LineItemTable grid(lines + 1);
    grid.setDefaultTitles();
    for (int row = 1; row <= lines; ++row)
        grid.setCell(row, ColItem, "L" + QByteArray::number(row));
    return grid;
}

RowSelection selecting(const LineItemTable& grid, std::initializer_list<int> rows) {
    RowSelection selection(grid.rowCount());
    for (int row : rows)
        selection.setRowSelected(row, true);
    return selection;
}

QByteArray items(const LineItemTable& grid) {
    QByteArray text;
    for (int row = 1; row < grid.rowCount(); ++row)
        text +=
            (grid.cell(row, ColItem).isEmpty() ? QByteArray("-") : grid.cell(row, ColItem)) + ' ';
    return text.trimmed();
}

} // namespace

TEST(LineActionStatesTest, FollowTheFocusedCell) {
    LineItemTable grid = numberedTable(5);
    grid.setCell(4, ColItem, "");                           // row 4 empty
    grid.setRow(5, TableRow{" ", " ", " ", " ", " ", " "}); // row 5 blank spaces
    using S = LineActionStates;
    struct Case {
        int row, col;
        QByteArray clipboard;
        S want;
    } cases[] = {
        //                      copy   paste  cut    del    up     down
        {-1, 0, "x", S{false, false, false, false, false, false}},
        {6, 0, "x", S{false, false, false, false, false, false}},
        {2, -1, "x", S{false, false, false, false, false, false}},
        {2, 6, "x", S{false, false, false, false, false, false}},
        {0, 0, "", S{true, false, true, false, false, true}},
        {2, 5, "x", S{true, true, true, true, true, true}},
        {4, 0, "x", S{false, true, false, true, true, true}},
        {5, 3, "x", S{false, true, false, true, true, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LineActionStatesFor(grid, c.row, c.col, c.clipboard), c.want)
            << "row " << c.row << " col " << c.col;
}

TEST(CopyLineTest, CopiesAnyRowButSixEmptyCells) {
    LineItemTable grid = numberedTable(3);
    QByteArray clipboard = "kept";
    grid.setCell(2, ColItem, "");
    EXPECT_FALSE(CopyLine(grid, 2, clipboard));
    EXPECT_EQ(clipboard, "kept");
    EXPECT_FALSE(CopyLine(grid, 9, clipboard));
    EXPECT_EQ(clipboard, "kept");

    // Six single spaces encode longer than the bare commas, so they are copied.
    grid.setRow(2, TableRow{" ", " ", " ", " ", " ", " "});
    EXPECT_TRUE(CopyLine(grid, 2, clipboard));
    EXPECT_EQ(clipboard, R"(" "," "," "," "," "," ")");

    grid.setRow(3, TableRow{sj("棚板"), "2", sj("枚"), "1500", "3000", ""});
    EXPECT_TRUE(CopyLine(grid, 3, clipboard));
    EXPECT_EQ(clipboard, sj("棚板,2,枚,1500,3000,"));
}

TEST(PasteLineTest, ReplacesOneRowWithTheCopiedBytes) {
    LineItemTable grid = numberedTable(3);
    EXPECT_FALSE(PasteLine(grid, 1, ""));
    EXPECT_FALSE(PasteLine(grid, 4, "a,b"));
    ASSERT_TRUE(PasteLine(grid, 2, sj("¥500引き,1,,,,")));
    EXPECT_EQ(grid.cell(2, ColItem), sj("¥500引き"));
    EXPECT_EQ(grid.cell(2, ColQuantity), "1");
    EXPECT_EQ(grid.cell(2, ColUnit), " ");
    EXPECT_EQ(items(grid), sj("L1 ¥500引き L3"));
}

TEST(DeleteSelectedLinesTest, ClosesUpAndEmptiesTheEnd) {
    LineItemTable grid = numberedTable(20);
    DeleteSelectedLines(grid, selecting(grid, {2, 3}));
    EXPECT_EQ(items(grid), "L1 L4 L5 L6 L7 L8 L9 L10 L11 L12 L13 L14 L15 L16 L17 L18 L19 L20 - -");
    EXPECT_TRUE(grid.isRowBlank(19));
    EXPECT_TRUE(grid.isRowBlank(20));
    EXPECT_EQ(grid.cell(0, ColItem), DefaultColumnTitle(ColItem));
}

TEST(DeleteSelectedLinesTest, WithoutSelectionKeepsTheTextAndASelectedTitleRowGoes) {
    LineItemTable grid = numberedTable(3);
    DeleteSelectedLines(grid, RowSelection(grid.rowCount()));
    EXPECT_EQ(items(grid), "L1 L2 L3");
    EXPECT_EQ(grid.cell(1, ColQuantity), " "); // re-decoded: empty cells come back as " "

    DeleteSelectedLines(grid, selecting(grid, {0}));
    EXPECT_EQ(grid.cell(0, ColItem), "L1");
    EXPECT_EQ(items(grid), "L2 L3 -");
}

TEST(ClearSelectedLinesTest, EmptiesEverySelectedRow) {
    LineItemTable grid = numberedTable(5);
    ClearSelectedLines(grid, selecting(grid, {2, 5}));
    EXPECT_EQ(items(grid), "L1 - L3 L4 -");
    EXPECT_TRUE(grid.cell(2, ColQuantity).isEmpty());
}

TEST(MoveSelectedLinesTest, ABlockMovesTogetherWithItsFlags) {
    LineItemTable grid = numberedTable(6);
    RowSelection selection = selecting(grid, {3, 4});
    ASSERT_TRUE(MoveSelectedLinesUp(grid, selection));
    EXPECT_EQ(items(grid), "L1 L3 L4 L2 L5 L6");
    EXPECT_EQ(selection.flags(), (std::vector<int>{0, 0, 1, 1, 0, 0, 0}));

    ASSERT_TRUE(MoveSelectedLinesDown(grid, selection));
    ASSERT_TRUE(MoveSelectedLinesDown(grid, selection));
    EXPECT_EQ(items(grid), "L1 L2 L5 L3 L4 L6");
    EXPECT_EQ(selection.flags(), (std::vector<int>{0, 0, 0, 0, 1, 1, 0}));
}

TEST(MoveSelectedLinesTest, StopsAtTheTitlesAndTheLastLine) {
    LineItemTable grid = numberedTable(4);
    RowSelection top = selecting(grid, {0, 2});
    EXPECT_FALSE(MoveSelectedLinesUp(grid, top));
    RowSelection bottom = selecting(grid, {1, 4});
    EXPECT_FALSE(MoveSelectedLinesDown(grid, bottom));
    EXPECT_EQ(items(grid), "L1 L2 L3 L4");

    // Line 1 moved up trades places with the titles.
    RowSelection first = selecting(grid, {1});
    ASSERT_TRUE(MoveSelectedLinesUp(grid, first));
    EXPECT_EQ(grid.cell(0, ColItem), "L1");
    EXPECT_EQ(grid.cell(1, ColItem), DefaultColumnTitle(ColItem));
    EXPECT_TRUE(first.IsRowSelected(0));
}
