#include "table/TableCleanup.h"

#include "TableTestText.h"
#include "table/TableCsv.h"

#include <gtest/gtest.h>

namespace {

const TableRow kFiller = {" ", " ", " ", " ", sj("　"), " "};

TEST(ASPBLineDel, EmptiesOnlySingleSpaceCellsOfLines) {
    LineItemTable grid(3);
    grid.setRow(0, {" ", sj("　"), "t", "", "", ""});
    grid.setRow(1, {" ", sj("　"), sj("　a"), "  ", "x", ""});
    ASPBLineDel(grid);
    EXPECT_EQ(grid.row(0), (TableRow{" ", sj("　"), "t", "", "", ""}));
    EXPECT_EQ(grid.row(1), (TableRow{"", "", sj("　a"), "  ", "x", ""}));
}

TEST(ASPBLine, FillsEveryEmptyLineWithTheRuleFiller) {
    LineItemTable grid(5);
    grid.setRow(0, {" ", "", "", "", "", ""});
    grid.setCell(1, ColItem, "text");
    grid.setCell(2, ColRemarks, sj("　")); // only a full-width space: cleaned, then filled
    grid.setRow(3, {" ", " ", " ", " ", " ", " "});
    ASPBLine(grid);
    EXPECT_EQ(grid.row(0), (TableRow{" ", "", "", "", "", ""}));
    EXPECT_EQ(grid.row(1), (TableRow{"text", "", "", "", "", ""}));
    EXPECT_EQ(grid.row(2), kFiller);
    EXPECT_EQ(grid.row(3), kFiller);
    EXPECT_EQ(grid.row(4), kFiller);
    EXPECT_EQ(EncodeTableLine(grid.row(4)), sj(R"(" "," "," "," ",　," ")"));
}

} // namespace
