#include "interaction/PageMouse.h"

#include <gtest/gtest.h>

#include <climits>

using namespace interaction;

// Widths in failure messages.
static void PrintTo(const ColumnWidths& w, std::ostream* os) {
    *os << "{" << w.ColWidth1 << ", " << w.ColWidth2 << ", " << w.ColWidth3 << ", " << w.ColWidth4
        << ", " << w.ColWidth5 << "}";
}

namespace {

// A4 at 630 x 891 with the defaults: M 10, P 200, LH 22, N 19 lines, borders at
// 230, 270, 310, 400, 490; sender block 200 wide (SX = 420), pitch 22.
PageFrame a4() {
    page::PageModel m;
    m.Margin = 10;
    m.ColWidth = {230, 40, 40, 90, 90};
    return PageFrame::of(m, 19);
}

struct Fixture {
    PageFrame f = a4();
    PageMouse mouse;
    RowSelection selection{20};
    int SelRow = 0, SelCol = 0;

    PressResult press(int x, int y, Qt::MouseButton b = Qt::LeftButton,
                      Qt::KeyboardModifiers mods = Qt::NoModifier) {
        return mouse.press(b, mods, x, y, f, 21, true, SelRow, SelCol, selection);
    }
    std::vector<int> selected() const {
        std::vector<int> rows;
        for (int r = 0; r < selection.size(); ++r)
            if (selection.IsRowSelected(r))
                rows.push_back(r);
        return rows;
    }
};

// The middle of line r.
int lineY(int r) {
    return 200 + r * 22 + 11;
}

} // namespace

TEST(PageFrameTest, ColumnsAndRowsAreStrict) {
    const PageFrame f = a4();
    const std::pair<int, int> columns[] = {{9, -1},  {10, -1},  {11, 0},  {229, 0}, {230, -1},
                                           {231, 1}, {300, 2},  {350, 3}, {450, 4}, {491, 5},
                                           {619, 5}, {620, -1}, {621, -1}};
    for (const auto& [x, want] : columns)
        EXPECT_EQ(f.columnAt(x), want) << "x " << x;
    const std::pair<int, int> rows[] = {{150, -1}, {200, -1}, {201, 0}, {221, 0},
                                        {222, 1},  {266, 3},  {640, 20}};
    for (const auto& [y, want] : rows)
        EXPECT_EQ(f.rowAt(y), want) << "y " << y;
}

TEST(PageFrameTest, AreasAndGrabZones) {
    const PageFrame f = a4();
    EXPECT_EQ(f.nameArea(21), (Box{10, 72, 210, 93}));
    EXPECT_EQ(f.creationDatePress(), (Box{515, 26, 620, 46}));
    EXPECT_EQ(f.remarksArea(), (Box{11, 751, 620, 830})); // Y1 = 200 + 25 x 22
    EXPECT_TRUE(f.inSenderHover(418, 100));               // left test widened by 3
    EXPECT_FALSE(f.senderHover().contains(418, 100));
    EXPECT_TRUE(f.inSenderEdge(422, 100));
    EXPECT_FALSE(f.inSenderEdge(423, 100));
    EXPECT_EQ(f.borderZoneAt(271, 300, 22), 2);
    EXPECT_EQ(f.borderZoneAt(272, 300, 22), 0);
    EXPECT_EQ(f.borderZoneAt(270, 200, 22), 0);           // on the table's top
    EXPECT_EQ(f.borderZoneAt(270, 200 + 23 * 19, 22), 0); // the zone's bottom
    EXPECT_EQ(f.borderZoneAt(270, 200 + 23 * 19 - 1, 22), 2);
}

TEST(PageMouseTest, ABorderPressDragsWithinFourPixelsOfTheNeighbours) {
    Fixture t;
    t.SelRow = 3;
    t.selection.SelectOnlyRow(3);
    const PressResult r = t.press(270, lineY(5));
    EXPECT_TRUE(r.borderDrag);
    EXPECT_FALSE(r.placeCellEditor);
    EXPECT_TRUE(t.mouse.BorderDrag[1]);
    EXPECT_FALSE(t.mouse.PageDrag);
    EXPECT_EQ(t.SelRow, 3);
    EXPECT_EQ(t.selected(), std::vector<int>{3});

    ColumnWidths w{230, 40, 40, 90, 90};
    int sender = 200;
    EXPECT_TRUE(t.mouse.drag(290, t.f, w, sender).widthsChanged);
    EXPECT_EQ(w, (ColumnWidths{230, 60, 20, 90, 90}));
    for (int x : {232, 233, 307, 308}) { // too close to E1 = 230 or E3 = 310
        ColumnWidths kept{230, 40, 40, 90, 90};
        EXPECT_FALSE(t.mouse.drag(x, t.f, kept, sender).widthsChanged) << x;
    }
    EXPECT_TRUE(t.mouse.release());
    EXPECT_FALSE(t.mouse.release());
}

namespace {

// E1..E5 of the widths.
std::array<int, 5> bordersOf(const ColumnWidths& w) {
    const int widths[] = {w.ColWidth1, w.ColWidth2, w.ColWidth3, w.ColWidth4, w.ColWidth5};
    std::array<int, 5> E{};
    for (int k = 0, at = 0; k < 5; ++k)
        E[size_t(k)] = at += widths[k];
    return E;
}

} // namespace

TEST(PageMouseTest, EachBorderMovesAloneAndStopsFourPixelsFromItsNeighbours) {
    // Borders at 230, 270, 310, 400, 490 between M = 10 and R = 620. The stops are the
    // nearest points left and right that leave the widths as they were.
    struct Case {
        int border, x;
        ColumnWidths widths;
        int lowStop, highStop;
    };
    const Case cases[] = {
        {1, 250, {250, 20, 40, 90, 90}, 13, 267},   {2, 290, {230, 60, 20, 90, 90}, 233, 307},
        {3, 350, {230, 40, 80, 50, 90}, 273, 397},  {4, 450, {230, 40, 40, 140, 40}, 313, 487},
        {5, 550, {230, 40, 40, 90, 150}, 403, 617}, // column 5 takes the rest up to R
    };
    const PageFrame f = a4();
    const ColumnWidths start{230, 40, 40, 90, 90};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "border " << c.border);
        PageMouse mouse;
        mouse.BorderDrag[size_t(c.border - 1)] = true;
        auto dragTo = [&](int x, ColumnWidths& w) {
            int sender = 200;
            return mouse.drag(x, f, w, sender).widthsChanged;
        };
        ColumnWidths w = start;
        EXPECT_TRUE(dragTo(c.x, w));
        EXPECT_EQ(w, c.widths);
        for (int x : {c.lowStop, c.highStop}) {
            w = start;
            EXPECT_FALSE(dragTo(x, w)) << x;
            EXPECT_EQ(w, start) << x;
        }
        for (int x : {c.lowStop + 1, c.highStop - 1}) {
            w = start;
            EXPECT_TRUE(dragTo(x, w)) << x;
            std::array<int, 5> moved = bordersOf(start);
            moved[size_t(c.border - 1)] = x;
            EXPECT_EQ(bordersOf(w), moved) << x;
        }
    }
}

TEST(PageMouseTest, TheSenderEdgePressDragsAndStoresNothingInTheRecord) {
    Fixture t;
    int sender = 200;
    ColumnWidths w{230, 40, 40, 90, 90};
    EXPECT_EQ(t.press(421, 100).borderDrag, false);
    EXPECT_TRUE(t.mouse.SenderEdgeDrag);
    t.mouse.drag(500, t.f, w, sender);
    EXPECT_EQ(sender, 120);
    EXPECT_EQ(w, (ColumnWidths{230, 40, 40, 90, 90}));
    EXPECT_FALSE(t.mouse.release());
}

namespace {

PageFrame pageOf(int width, int margin, int senderSpaceWidth) {
    page::PageModel m;
    m.pageWidth = width;
    m.Margin = margin;
    m.SenderSpaceWidth = senderSpaceWidth;
    return PageFrame::of(m, 19);
}

// The sender edge lies on the page, and the page's pixels around it grab it.
bool senderEdgeOnPage(const PageFrame& f) {
    return f.SX >= 0 && f.SX < f.W && f.inSenderEdge(f.SX, f.P - 60) &&
           f.inSenderEdge(std::min(f.SX + 2, f.W - 1), f.P - 60) &&
           f.inSenderEdge(std::max(f.SX - 2, 0), f.P - 60);
}

} // namespace

TEST(SenderEdgeTest, ADragStopsTheEdgeAtThePagesFirstAndLastPixel) {
    struct Case {
        int W, M, x, width;
    };
    // SX = R - width follows the pointer on the page and stops at its first and last pixel.
    const Case cases[] = {
        {630, 10, 421, 199}, {630, 10, 0, 620},   {630, 10, 629, -9}, {630, 10, 631, -9},
        {630, 10, 5000, -9}, {630, 10, -1, 620},  {630, 10, -3, 620}, {630, 10, -5000, 620},
        {400, 30, 399, -29}, {400, 30, 402, -29}, {400, 30, -3, 370},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "W " << c.W << " M " << c.M << " x " << c.x);
        PageMouse mouse;
        mouse.SenderEdgeDrag = true;
        ColumnWidths w{230, 40, 40, 90, 90};
        int width = 200;
        EXPECT_TRUE(mouse.drag(c.x, pageOf(c.W, c.M, width), w, width).senderEdgeChanged);
        EXPECT_EQ(width, c.width);
        EXPECT_TRUE(senderEdgeOnPage(pageOf(c.W, c.M, width)));
    }
}

TEST(SenderEdgeTest, AWidthOffThePageIsBroughtOntoItAndOneOnItKept) {
    struct Case {
        int stored;
        int W, M, width;
    };
    const Case cases[] = {
        {200, 630, 10, 200}, {620, 630, 10, 620}, {-9, 630, 10, -9}, // kept
        {621, 630, 10, 620}, {-10, 630, 10, -9},                     // one past either limit
        {620, 630, 11, 619},                    // a wider margin pushes the edge off the left
        {620, 315, 10, 305}, {-9, 630, 30, -9}, // a smaller page; a wider margin
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " on W " << c.W << " M " << c.M);
        EXPECT_EQ(senderSpaceWidthOnPage(c.stored, c.W, c.M), c.width);
        EXPECT_TRUE(senderEdgeOnPage(pageOf(c.W, c.M, c.width)));
        // Only a width whose edge is out of reach is changed.
        if (c.stored != c.width) {
            EXPECT_FALSE(senderEdgeOnPage(pageOf(c.W, c.M, c.stored)));
        }
    }
    // Whatever a file holds.
    EXPECT_EQ(senderSpaceWidthOnPage(INT_MAX, 630, 10), 620);
    EXPECT_EQ(senderSpaceWidthOnPage(INT_MIN, 630, 10), -9);
}

TEST(PageMouseTest, PressesSelectAndArmAsAUserExpects) {
    Fixture t;
    PressResult r = t.press(100, lineY(3));
    EXPECT_EQ(t.selected(), std::vector<int>{3});
    EXPECT_TRUE(r.placeCellEditor);
    EXPECT_FALSE(r.armCellEditor);
    EXPECT_TRUE(t.mouse.PageDrag);
    EXPECT_EQ(std::pair(t.SelRow, t.SelCol), std::pair(3, 0));

    r = t.press(100, lineY(3)); // the current cell again
    EXPECT_TRUE(r.armCellEditor);
    EXPECT_FALSE(t.mouse.PageDrag);

    t.press(100, lineY(3), Qt::LeftButton, Qt::ControlModifier); // toggles it off
    EXPECT_TRUE(t.selected().empty());
    t.press(300, lineY(5), Qt::LeftButton, Qt::ControlModifier);
    t.press(300, lineY(3), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(t.selected(), (std::vector<int>{3, 5}));

    // Shift ranges keep their anchor across a chain of Shift presses.
    t.press(100, lineY(3));
    t.press(100, lineY(7), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(t.selected(), (std::vector<int>{3, 4, 5, 6, 7}));
    t.press(100, lineY(5), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(t.selected(), (std::vector<int>{3, 4, 5}));
    t.press(100, 120, Qt::LeftButton, Qt::ShiftModifier); // above the table: rows 0..3
    EXPECT_EQ(t.selected(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(t.SelRow, -1);
}

TEST(PageMouseTest, RightPressKeepsASelectedBlockAndChoosesTheMenu) {
    Fixture t;
    t.press(100, lineY(3));
    t.press(100, lineY(5), Qt::LeftButton, Qt::ShiftModifier);
    PressResult r = t.press(350, lineY(4), Qt::RightButton);
    EXPECT_EQ(t.selected(), (std::vector<int>{3, 4, 5}));
    EXPECT_TRUE(r.lineMenu && r.updateLineActions && r.placeCellEditor);
    EXPECT_EQ(std::pair(r.row, r.col), std::pair(4, 3));

    r = t.press(350, lineY(9), Qt::RightButton);
    EXPECT_EQ(t.selected(), std::vector<int>{9});

    r = t.press(500, 150, Qt::RightButton); // in the sender block
    EXPECT_TRUE(r.senderMenu);
    EXPECT_FALSE(r.lineMenu);
}

TEST(PageMouseTest, OverlayEditorsOpenOnTheirBlocks) {
    Fixture t;
    PressResult r = t.press(100, 80);
    EXPECT_TRUE(r.openName);
    EXPECT_EQ(r.remarks, PressResult::Remarks::Hide);
    r = t.press(100, 135);
    EXPECT_TRUE(r.showDeliveryDate);
    EXPECT_FALSE(r.openName);
    r = t.press(300, 800);
    EXPECT_EQ(r.remarks, PressResult::Remarks::Open);
    r = t.mouse.press(Qt::LeftButton, {}, 300, 800, t.f, 21, false, t.SelRow, t.SelCol,
                      t.selection);
    EXPECT_EQ(r.remarks, PressResult::Remarks::Keep); // the option is off
    r = t.press(600, 30);
    EXPECT_TRUE(r.showCreationDate);
}

TEST(PageHoverTest, StatusTextsHintsAndCursor) {
    const PageFrame f = a4();
    auto cell = [](int c, int r) { return QByteArray::number(r) + ":" + QByteArray::number(c); };
    Hover h = hoverAt(f, 300, lineY(3), 21, 22, 20, cell);
    EXPECT_EQ(h.position, QStringLiteral("04/21:3"));
    EXPECT_EQ(h.cellText, "3:2");
    EXPECT_TRUE(h.frames.empty());

    h = hoverAt(f, 100, 80, 21, 22, 20, cell);
    EXPECT_EQ(h.hint, QString::fromUtf8(kHintEdit));
    EXPECT_EQ(h.frames, std::vector<Box>{f.nameArea(21)});
    EXPECT_TRUE(h.position.isEmpty());

    h = hoverAt(f, 421, 100, 21, 22, 20, cell);
    EXPECT_TRUE(h.splitCursor);
    EXPECT_EQ(h.hint, QString::fromUtf8(kHintSender));
    EXPECT_TRUE(hoverAt(f, 230, lineY(2), 21, 22, 20, cell).splitCursor);
}
