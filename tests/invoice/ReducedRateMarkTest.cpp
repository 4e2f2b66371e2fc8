// The ※ toggle on the selected lines.
#include "invoice/ReducedRateMark.h"

#include "platform/Cp932.h"

#include <gtest/gtest.h>

using invoice::MarkToggle;

namespace {

QByteArray sj(const char* utf8) {
    return cp932::encode(QString::fromUtf8(utf8));
}

struct ToggleCase {
    const char* name;
    std::vector<const char*> items; // lines 1.., "" an empty line
    std::vector<int> selected;
    MarkToggle result;
    std::vector<const char*> after;
};

} // namespace

TEST(ReducedRateMark, TogglesTheLeadingMarkOnSelectedLinesWithContent) {
    const ToggleCase cases[] = {
        {"two plain lines",
         {"米", "お茶", "洗剤"},
         {1, 2},
         MarkToggle::Marked,
         {"※米", "※お茶", "洗剤"}},
        {"two marked lines",
         {"※米", "※お茶", "洗剤"},
         {1, 2},
         MarkToggle::Unmarked,
         {"米", "お茶", "洗剤"}},
        {"a mixed selection ends up marked",
         {"※米", "お茶"},
         {1, 2},
         MarkToggle::Marked,
         {"※米", "※お茶"}},
        {"the mark alone comes off to nothing", {"※"}, {1}, MarkToggle::Unmarked, {""}},
        {"an empty line is left alone", {"米", ""}, {1, 2}, MarkToggle::Marked, {"※米", ""}},
        {"the title row is left alone", {"米"}, {0}, MarkToggle::NoLine, {"米"}},
        {"nothing selected", {"米"}, {}, MarkToggle::NoLine, {"米"}},
    };
    for (const ToggleCase& c : cases) {
        LineItemTable grid(5);
        grid.setDefaultTitles();
        const QByteArray title = grid.cell(0, ColItem);
        for (size_t i = 0; i < c.items.size(); ++i) {
            grid.setCell(int(i) + 1, ColItem, sj(c.items[i]));
            if (*c.items[i])
                grid.setCell(int(i) + 1, ColUnitPrice, "100");
        }
        RowSelection selection(grid.rowCount());
        for (int row : c.selected)
            selection.setRowSelected(row, true);
        EXPECT_EQ(invoice::ToggleReducedRateMark(grid, selection), c.result) << c.name;
        for (size_t i = 0; i < c.after.size(); ++i)
            EXPECT_EQ(grid.cell(int(i) + 1, ColItem), sj(c.after[i]))
                << c.name << " line " << i + 1;
        EXPECT_EQ(grid.cell(0, ColItem), title) << c.name;
    }
}

TEST(ReducedRateMark, AnItemlessLineWithAnAmountGetsTheMarkAlone) {
    LineItemTable grid(3);
    grid.setCell(1, ColItem, " ");
    grid.setCell(1, ColAmount, "500");
    RowSelection selection(grid.rowCount());
    selection.SelectOnlyRow(1);
    EXPECT_EQ(invoice::ToggleReducedRateMark(grid, selection), MarkToggle::Marked);
    EXPECT_EQ(grid.cell(1, ColItem), sj("※"));
}
