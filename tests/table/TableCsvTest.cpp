#include "table/TableCsv.h"

#include "TableTestText.h"

#include <gtest/gtest.h>

namespace {

TableRow cells(QByteArray c0, QByteArray c1 = {}, QByteArray c2 = {}, QByteArray c3 = {},
               QByteArray c4 = {}, QByteArray c5 = {}) {
    return {c0, c1, c2, c3, c4, c5};
}

struct EncodeCase {
    const char* name;
    QByteArray cell;
    QByteArray written;
};

TEST(EncodeTableLine, QuotesOnlyCellsWithQuotesCommasOrLowBytes) {
    const EncodeCase cases[] = {
        {"plain ascii", "abc", "abc"},
        {"half-width space", " ", "\" \""},
        {"inner space", "a b", "\"a b\""},
        {"double quote doubled", "a\"b", "\"a\"\"b\""},
        {"comma", "1,000", "\"1,000\""},
        {"control byte 0x01", "\x01", "\"\x01\""},
        {"tab", "a\tb", "\"a\tb\""},
        {"byte 0x21 is not blank", "!", "!"},
        {"full-width space", sj("　"), sj("　")},
        {"trail byte 0x5C", sj("表ソ"), sj("表ソ")},
        {"half-width katakana", sj("ｱｲｳ"), sj("ｱｲｳ")},
        // A lead byte takes only a byte that can be a trail byte: damaged text must
        // not hide a comma or a closing quote inside a character.
        {"lead byte before comma", QByteArray("\x81,", 2), QByteArray("\"\x81,\"", 4)},
        {"lone lead byte at end", QByteArray("a\x81"), QByteArray("a\x81")},
        {"lead byte before quote", QByteArray("\x81\""), QByteArray("\"\x81\"\"\"")},
    };
    for (const auto& c : cases) {
        const QByteArray line = EncodeTableLine(cells(c.cell));
        EXPECT_EQ(line, c.written + ",,,,,") << c.name;
        EXPECT_EQ(DecodeTableLine(line)[0], c.cell) << c.name;
    }
}

TEST(EncodeTableLine, WritesTypicalAndEmptyRows) {
    EXPECT_EQ(EncodeTableLine(cells(sj("工事費"), "2", sj("式"), "1500", "3000", "")),
              sj("工事費,2,式,1500,3000,"));
    EXPECT_EQ(EncodeTableLine(TableRow{}), ",,,,,");
    EXPECT_EQ(EncodeTableLine(cells(" ", " ", " ", " ", " ", " ")), R"(" "," "," "," "," "," ")");
    EXPECT_EQ(EncodeTableLine(cells(" ", " ", " ", " ", sj("　"), " ")),
              sj(R"(" "," "," "," ",　," ")"));
}

struct DecodeCase {
    const char* name;
    QByteArray line;
    TableRow expected;
};

TEST(DecodeTableLine, ReadsItemsByTheStoredRules) {
    const DecodeCase cases[] = {
        {"empty line", "", TableRow{}},
        {"empty middle item", "a,,b", cells("a", " ", "b")},
        {"seventh item dropped", "a,b,c,d,e,f,g", cells("a", "b", "c", "d", "e", "f")},
        {"final comma adds an item", "x,", cells("x", " ")},
        {"comma then blank at end adds nothing", "x, ", cells("x")},
        {"blank separates unquoted items", "a b,c", cells("a", "b", "c")},
        {"leading blanks skipped", " \t a,b", cells("a", "b")},
        {"doubled quote", R"("a""b",c)", cells("a\"b", "c")},
        {"quoted comma and space", R"("1,000","a b")", cells("1,000", "a b")},
        {"empty quoted item", R"("",x)", cells(" ", "x")},
        {"unclosed quote runs to end", R"(a,"b,c d)", cells("a", "b,c d")},
        {"text after closing quote is a new item", R"("ab"cd,e)", cells("ab", "cd", "e")},
        {"six empty items", ",,,,,", cells(" ", " ", " ", " ", " ", " ")},
        {"rule filler", sj(",,,,　,"), cells(" ", " ", " ", " ", sj("　"), " ")},
        {"trail byte 0x5C", sj("表,ソ"), cells(sj("表"), sj("ソ"))},
        {"half-width katakana", sj("ｶﾅ,ｲ"), cells(sj("ｶﾅ"), sj("ｲ"))},
        {"lead byte before comma", QByteArray("\x81,x,y"), cells("\x81", "x", "y")},
        {"lead byte before closing quote", QByteArray("\"a\x81\",b"), cells("a\x81", "b")},
        {"nul byte is content", QByteArray("a\0b,c", 5), cells(QByteArray("a\0b", 3), "c")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeTableLine(c.line), c.expected) << c.name;
    }
}

TEST(DecodeTableLine, RoundTripKeepsTextAndTurnsEmptyIntoSpace) {
    QByteArray allBlanks;
    for (char b = 0x01; b <= 0x20; ++b) {
        allBlanks += b;
    }
    const TableRow row =
        cells(allBlanks, "\"\"", sj("品目・仕様　表示"), "", ",", sj("ｿﾌﾄ\"ソフト"));
    TableRow expected = row;
    expected[3] = " ";
    EXPECT_EQ(DecodeTableLine(EncodeTableLine(row)), expected);
}

TEST(SplitTableLines, AcceptsEveryLineEnd) {
    using Lines = std::vector<QByteArray>;
    const std::pair<QByteArray, Lines> cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"a\n\nb\r\n", {"a", "", "b"}},
        {"\r\n", {""}},
        {"a\n\rb", {"a", "", "b"}},
    };
    for (const auto& [text, expected] : cases) {
        Lines got;
        for (QByteArrayView line : SplitTableLines(text)) {
            got.push_back(line.toByteArray());
        }
        EXPECT_EQ(got, expected) << text.toStdString();
    }
}

QByteArray numberedLines(int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        text += "line" + QByteArray::number(i) + ",1\r\n";
    }
    return text;
}

TEST(GridLoadCSV, EmptyTextGivesDefaultTitlesAndKeepsRowCount) {
    LineItemTable grid(8);
    grid.setCell(3, 0, "old");
    GridLoadCSV(grid, "");
    EXPECT_EQ(grid.rowCount(), 8);
    for (int c = 0; c < kTableColumnCount; ++c) {
        EXPECT_EQ(grid.cell(0, c), DefaultColumnTitle(c));
    }
    EXPECT_EQ(grid.cell(0, 0), sj("品目・仕様"));
    EXPECT_EQ(grid.cell(0, 5), sj("備考"));
    EXPECT_TRUE(grid.cell(3, 0).isEmpty());
}

TEST(GridLoadCSV, SurplusLinesDropAndNextSaveShortensSum) {
    LineItemTable grid(21);
    GridLoadCSV(grid, numberedLines(25));
    EXPECT_EQ(grid.rowCount(), 21);
    EXPECT_EQ(grid.cell(20, 0), "line20");
    const QByteArray sum = GridSaveCSV(grid);
    EXPECT_EQ(SplitTableLines(sum).size(), 21u);
    EXPECT_TRUE(sum.endsWith("line20,1,,,,\r\n"));
}

TEST(GridLoadCSV, MissingLinesLeaveRowsEmptyAndTitlesAsRead) {
    LineItemTable grid(6);
    GridLoadCSV(grid, ",X\nitem,2");
    EXPECT_EQ(grid.cell(0, 0), " "); // blank titles are only restored on save
    EXPECT_EQ(grid.cell(0, 1), "X");
    EXPECT_EQ(grid.cell(1, 0), "item");
    EXPECT_TRUE(grid.isRowBlank(2));
    EXPECT_TRUE(grid.cell(5, 0).isEmpty());
}

TEST(GridLoadCSV, HiddenRowsSurviveUntilTheNextDecode) {
    LineItemTable grid(10);
    grid.setCell(9, 0, "kept");
    grid.setRowCount(5);
    EXPECT_TRUE(grid.cell(9, 0).isEmpty()); // hidden, not reachable
    grid.setRowCount(12);
    EXPECT_EQ(grid.cell(9, 0), "kept");
    EXPECT_TRUE(grid.cell(11, 0).isEmpty());

    grid.setRowCount(5);
    GridLoadCSV(grid, "a\r\n");
    grid.setRowCount(12);
    EXPECT_TRUE(grid.cell(9, 0).isEmpty());
}

TEST(GridSaveCSV, RestoresOnlyBlankTitles) {
    LineItemTable grid(2);
    grid.setCell(0, 0, "");
    grid.setCell(0, 1, " ");
    grid.setCell(0, 2, sj("　"));
    grid.setCell(0, 3, "Price");
    grid.setCell(1, 0, "x");
    const QByteArray sum = GridSaveCSV(grid);
    EXPECT_EQ(sum, sj("品目・仕様,数量,　,Price,金額,備考\r\nx,,,,,\r\n"));
    EXPECT_EQ(grid.cell(0, 1), sj("数量")); // restored in the table too
}

TEST(GridSaveCSV, LoadOfSavedTableGivesTheSameCells) {
    LineItemTable grid(4);
    GridLoadCSV(grid, "");
    grid.setRow(1, cells(sj("ソフト保守"), "1.5", sj("時間"), "8000", "12000", "a \"q\""));
    grid.setRow(3, cells(",", "", "", "", "", sj("表")));
    const QByteArray sum = GridSaveCSV(grid);

    LineItemTable again(4);
    GridLoadCSV(again, sum);
    EXPECT_EQ(again.row(1), grid.row(1));
    EXPECT_EQ(again.row(3), cells(",", " ", " ", " ", " ", sj("表")));
    EXPECT_EQ(again.row(2), cells(" ", " ", " ", " ", " ", " "));
}

} // namespace
