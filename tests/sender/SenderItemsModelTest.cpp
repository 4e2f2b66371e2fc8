// The dialog's rules without its widgets: selection, alignment buttons, pitch, Cancel.
#include "sender/SenderItemsModel.h"
#include "FakeSenderWindow.h"

#include <gtest/gtest.h>

namespace {

using sender::SenderItems;
using sender::SenderItemsModel;

SenderItems someItems() {
    SenderItems items;
    items.lines = {"ACME", "Tokyo", "03-0000-0000", "", "T1234"};
    items.align = {1, 0, 2, 0, 0};
    items.lineHeight = 22;
    return items;
}

TEST(SenderItemsModel, ShowingSelectsLineOneAndPressesTheButtonOfItsAlignment) {
    struct Case {
        int align;
        int button;
    };
    // A value no button stands for (from a hand-edited settings file) presses none.
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{2, 2}, Case{3, -1}, Case{-1, -1}}) {
        FakeSenderWindow window;
        window.values.align[0] = c.align;
        SenderItemsModel model(window.access());
        model.selectCell(1, 3);
        EXPECT_EQ(model.show(), c.button) << c.align;
        EXPECT_EQ(model.selectedCol(), 1);
        EXPECT_EQ(model.selectedRow(), 0);
        EXPECT_EQ(window.writes, 0); // showing changes nothing
    }
}

TEST(SenderItemsModel, OnlyASelectedTextCellTakesAnAlignmentButThePageIsRepaintedAlways) {
    FakeSenderWindow window;
    window.values = someItems();
    SenderItemsModel model(window.access());
    model.show();

    EXPECT_EQ(model.selectCell(1, 2), 2);
    EXPECT_TRUE(model.applyAlignment(0));
    EXPECT_EQ(window.values.align[2], 0);

    // The number cell of line 3 pressed with the mouse, then a button: nothing changes.
    model.pressCell(0, 2);
    const int writes = window.writes;
    EXPECT_FALSE(model.applyAlignment(1));
    EXPECT_EQ(window.values.align, (std::array<int, 5>{1, 0, 0, 0, 0}));
    EXPECT_EQ(window.writes, writes + 1);

    // A press outside the cells: still nothing.
    model.pressCell(-1, -1);
    EXPECT_FALSE(model.applyAlignment(2));
    EXPECT_EQ(window.values.align, (std::array<int, 5>{1, 0, 0, 0, 0}));
}

TEST(SenderItemsModel, CancelPutsBackWhatTheDialogFoundWhenShown) {
    FakeSenderWindow window;
    window.values = someItems();
    SenderItemsModel model(window.access());
    model.show();
    model.selectCell(1, 1);
    model.applyAlignment(2);
    model.setLines({"X", "", "", "", ""});
    model.setLineHeight(30);
    ASSERT_NE(window.values, someItems());

    model.cancel();
    EXPECT_EQ(window.values, someItems());

    // Shown again, Cancel goes back to the values of that showing, not the first one.
    model.setLineHeight(40);
    model.show();
    model.setLineHeight(41);
    model.cancel();
    EXPECT_EQ(window.values.lineHeight, 40);
}

} // namespace
