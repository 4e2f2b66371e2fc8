// The page's blocks, table, totals, remarks and screen marks, checked on the recording
// canvas (synthetic extents: a CP932 byte is half the pixel size wide, a line the pixel
// size high; 8 pt = 11 px, 12 pt = 16 px, 16 pt = 21 px, 18 pt = 24 px).
#include "page/PageRenderer.h"
#include "PageTestModel.h"
#include "page/RecordingCanvas.h"

#include <gtest/gtest.h>

using namespace page;
using pagetest::sj;
using pagetest::TestPage;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

CanvasOp onlyText(const RecordingCanvas& canvas, const QString& text) {
    const QList<CanvasOp> found = canvas.textsEqual(text);
    EXPECT_EQ(found.size(), 1) << text.toStdString();
    return found.isEmpty() ? CanvasOp{} : found.first();
}

// The text drawn into exactly `rect`, or null.
const CanvasOp* textIn(const RecordingCanvas& canvas, const QString& text, const QRect& rect) {
    for (const CanvasOp& op : canvas.ops())
        if (op.kind == CanvasOp::Text && op.text == text && op.rect == rect)
            return &op;
    return nullptr;
}

bool hasLine(const RecordingCanvas& canvas, QPoint from, QPoint to, int width = -1) {
    for (const CanvasOp& op : canvas.lines())
        if (op.from == from && op.to == to && (width < 0 || op.pen.width == width))
            return true;
    return false;
}

int countLines(const RecordingCanvas& canvas, QPoint from, QPoint to) {
    int n = 0;
    for (const CanvasOp& op : canvas.lines())
        n += op.from == from && op.to == to;
    return n;
}

} // namespace

TEST(PageRenderer, PointSizesBecomePixelSizesLikeMulDiv) {
    const std::pair<int, int> cases[] = {{8, 11},  {12, 16}, {16, 21}, {18, 24},
                                         {10, 13}, {20, 27}, {14, 19}, {-8, -11}};
    for (auto [points, pixels] : cases)
        EXPECT_EQ(pointsToPixels(points), pixels) << points;
}

struct KindCase {
    int kind;
    const char* title;
    const char* amountLabel;
    const char* greeting;
};

class PageKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(PageKinds, TitleAmountLabelAndGreetingFollowTheKind) {
    const KindCase k = GetParam();
    TestPage p;
    p.model.documentKind = k.kind;
    RecordingCanvas canvas;
    DrawPage(canvas, p.model);

    // Title: 18 pt, centred on the page by its own width, double underline.
    const CanvasOp& title = onlyText(canvas, u(k.title));
    const int tw = int(sj(k.title).size()) * 24 / 2;
    const int x0 = (630 - tw) / 2;
    EXPECT_EQ(title.rect, edges(x0, 10, x0 + tw, 34));
    EXPECT_EQ(title.layout, TextLayout::Plain);
    EXPECT_EQ(title.font.pixelSize, 24);
    EXPECT_TRUE(hasLine(canvas, {x0, 34}, {x0 + tw, 34}, 1));
    EXPECT_TRUE(hasLine(canvas, {x0, 36}, {x0 + tw, 36}, 1));

    const CanvasOp& label = onlyText(canvas, u(k.amountLabel));
    EXPECT_EQ(label.rect, edges(10, 167, 315, 188));
    EXPECT_EQ(label.font.pixelSize, 21);

    const CanvasOp& greeting = onlyText(canvas, u(k.greeting));
    const int gw = int(sj(k.greeting).size()) * 11 / 2;
    EXPECT_EQ(greeting.rect, edges(10, 105, 10 + gw, 116));
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, PageKinds,
    ::testing::Values(KindCase{0, "  御 見 積 書  ", "見積金額", "下記の通り御見積致します。"},
                      KindCase{1, "  御 請 求 書  ", "請求金額", "下記の通り御請求致します。"},
                      KindCase{2, "  納　品　書  ", "納品金額", "下記の通り納品いたしました。"}));

TEST(PageRenderer, BlocksAboveTheTableSitWhereTheFormSays) {
    TestPage p;
    p.model.showDeliveryDate = true;
    p.model.SenderAlign = {1, 2, 0, 0, 0};
    p.setRow(1, {"品", "1", "個", "12345", "", ""});
    RecordingCanvas canvas;
    DrawPage(canvas, p.model);

    EXPECT_EQ(onlyText(canvas, u("No. 0042")).rect, edges(576, 10, 620, 21));
    EXPECT_EQ(onlyText(canvas, u("作成日")).rect, edges(482, 34, 525, 45));
    const CanvasOp& created = onlyText(canvas, u("2026年12月10日"));
    EXPECT_EQ(created.rect, edges(450, 34, 620, 45));
    EXPECT_EQ(created.layout, TextLayout::Right);

    const CanvasOp& name = onlyText(canvas, u("山田商店 "));
    EXPECT_EQ(name.rect, edges(10, 72, 210, 93));
    EXPECT_EQ(name.layout, TextLayout::Centred);
    const CanvasOp& honorific = onlyText(canvas, u("様"));
    EXPECT_EQ(honorific.rect, edges(210, 77, 226, 93));
    EXPECT_EQ(honorific.layout, TextLayout::Right);
    EXPECT_TRUE(hasLine(canvas, {10, 95}, {236, 95}, 2));

    // The amount box shows the yen sign even with the option off.
    const CanvasOp& amount = onlyText(canvas, u("¥13,332 "));
    EXPECT_EQ(amount.rect, edges(10, 167, 315, 188));
    EXPECT_EQ(amount.layout, TextLayout::Right);
    EXPECT_TRUE(hasLine(canvas, {10, 190}, {315, 190}, 2));

    EXPECT_EQ(onlyText(canvas, u("納期　　　")).rect, edges(10, 134, 65, 145));
    const CanvasOp& delivery = onlyText(canvas, u("2026年12月24日"));
    EXPECT_EQ(delivery.rect, edges(50, 134, 200, 145));
    EXPECT_EQ(delivery.layout, TextLayout::Right);
    EXPECT_TRUE(hasLine(canvas, {10, 145}, {200, 145}, 1));

    // Sender lines: line 1 at 12 pt, the rest at 8 pt, each with its own alignment.
    const CanvasOp& s1 = onlyText(canvas, u("有限会社テスト"));
    EXPECT_EQ(s1.rect, edges(420, 68, 620, 84));
    EXPECT_EQ(s1.layout, TextLayout::Centred);
    const CanvasOp& s2 = onlyText(canvas, u("東京都"));
    EXPECT_EQ(s2.rect, edges(420, 90, 620, 101));
    EXPECT_EQ(s2.layout, TextLayout::Right);
    EXPECT_EQ(onlyText(canvas, u("03-0000-0000")).layout, TextLayout::Plain);
}

TEST(PageRenderer, OptionsOffAndEmptyValuesLeaveTheirBlocksOut) {
    TestPage p;
    p.model.showDeliveryDate = false;
    p.model.showRemarks = false;
    p.model.sday = QDate(); // an empty creation date prints nothing, not 1899
    p.model.num = 0;
    RecordingCanvas canvas;
    const TableTotals totals = DrawPage(canvas, p.model);

    EXPECT_EQ(totals.GrandTotal, 0);
    EXPECT_EQ(canvas.textsEqual(u("2026年12月24日")).size(), 0);
    EXPECT_TRUE(hasLine(canvas, {10, 145}, {200, 145}, 1)); // the delivery line stays
    onlyText(canvas, u("納期　　　"));
    onlyText(canvas, u("No. 0000"));
    for (const CanvasOp& op : canvas.texts()) {
        EXPECT_FALSE(op.text.contains(u("1899"))) << op.text.toStdString();
        EXPECT_FALSE(op.text.contains(QChar(0x00A5))) << "no amount with a zero total";
    }
    EXPECT_EQ(canvas.textsEqual(u("備考")).size(), 1); // the column title only
    EXPECT_EQ(canvas.textsEqual(u("納品は午前中にお願いします。")).size(), 0);
    // N = 3, LH = 20: Y1 = 220 + 8 * 20 = 380; no remarks box.
    EXPECT_FALSE(hasLine(canvas, {10, 380}, {620, 380}));
}

TEST(PageRenderer, RuleForEveryNonBlankCellAndCellTexts) {
    TestPage p(5);
    p.setRow(1, {"机", "2", "台", "1500", "", "至急"}); // SGkei fills in the amount
    p.setRow(2, {" ", " ", " ", " ", " ", " "});        // all blank: no rule
    p.setRow(3, {"", "", "", "", "　", ""});            // full-width space: rule, no text
    p.setRow(4, {"", "0", "", "1,00", "abc", ""});      // read as 0: rules, no texts
    p.setRow(5, {"", "1.5", "", "", "", ""});
    p.model.showYen = true;
    RecordingCanvas canvas;
    const TableTotals totals = DrawPage(canvas, p.model);
    EXPECT_EQ(totals.Subtotal, 3000);

    // T0 = 220, LH = 20.
    const auto rule = [](int i) {
        return std::pair{QPoint(10, 220 + i * 20), QPoint(620, 220 + i * 20)};
    };
    EXPECT_EQ(countLines(canvas, rule(1).first, rule(1).second), 6); // amount filled in
    EXPECT_EQ(countLines(canvas, rule(2).first, rule(2).second), 0);
    EXPECT_EQ(countLines(canvas, rule(3).first, rule(3).second), 1);
    EXPECT_EQ(countLines(canvas, rule(4).first, rule(4).second), 3);
    // Line 5 is the last line: its cell rule plus the rule under the last line.
    EXPECT_EQ(countLines(canvas, rule(5).first, rule(5).second), 2);

    // Column borders: E1 = 230, E2 = 270, E3 = 310, E4 = 400, E5 = 490.
    const CanvasOp& item = onlyText(canvas, u(" 机"));
    EXPECT_EQ(item.rect, edges(10, 220, 230, 241));
    EXPECT_EQ(item.layout, TextLayout::RowLeft);
    EXPECT_EQ(item.font.pixelSize, 16);
    EXPECT_EQ(onlyText(canvas, u("2 ")).rect, edges(230, 220, 270, 241));
    EXPECT_EQ(onlyText(canvas, u("台")).layout, TextLayout::RowCentre);
    EXPECT_EQ(onlyText(canvas, u("¥1,500 ")).rect, edges(310, 220, 400, 241));
    ASSERT_TRUE(textIn(canvas, u("¥3,000 "), edges(400, 220, 490, 241)));
    EXPECT_EQ(textIn(canvas, u("¥3,000 "), edges(400, 220, 490, 241))->layout,
              TextLayout::RowRight);
    EXPECT_EQ(onlyText(canvas, u(" 至急")).rect, edges(490, 220, 620, 241));
    EXPECT_EQ(onlyText(canvas, u("1.5 ")).rect, edges(230, 300, 270, 321));
    for (const CanvasOp& op : canvas.texts())
        EXPECT_NE(op.rect.top(), 280) << "line 4 shows no text: " << op.text.toStdString();
    // Titles row-centred in the title row.
    EXPECT_EQ(onlyText(canvas, u("品目・仕様")).rect, edges(10, 200, 230, 220));
    EXPECT_EQ(onlyText(canvas, u("品目・仕様")).layout, TextLayout::RowCentre);
}

TEST(PageRenderer, GroupedNumbersShowAndCountAsTheNumbersTheyAre) {
    TestPage p(3);
    p.setRow(1, {"机", "1,500", "台", "1,000", "", ""});
    p.setRow(2, {"", "", "", "", "12,345", ""});   // an amount typed into a line without price
    p.setRow(3, {"", "1,00", "", "1,00", "", ""}); // no grouping by threes: no numbers
    p.model.showYen = true;
    RecordingCanvas canvas;
    const TableTotals totals = DrawPage(canvas, p.model);

    EXPECT_EQ(p.table->cell(1, ColAmount), "1500000");
    EXPECT_EQ(totals.Subtotal, 1512345);
    EXPECT_EQ(totals.GrandTotal, 1512345 + 120987);
    EXPECT_TRUE(textIn(canvas, u("1500 "), edges(230, 220, 270, 241)));
    EXPECT_TRUE(textIn(canvas, u("¥1,000 "), edges(310, 220, 400, 241)));
    EXPECT_TRUE(textIn(canvas, u("¥1,500,000 "), edges(400, 220, 490, 241)));
    EXPECT_TRUE(textIn(canvas, u("¥12,345 "), edges(400, 240, 490, 261)));
    for (const CanvasOp& op : canvas.texts())
        EXPECT_NE(op.rect.top(), 260) << "line 3 shows no text: " << op.text.toStdString();
    EXPECT_TRUE(textIn(canvas, u("¥1,512,345 "), edges(400, 280, 490, 301)));
    EXPECT_TRUE(textIn(canvas, u("¥1,633,332 "), edges(10, 167, 315, 188)));
}

TEST(PageRenderer, TotalsRowsAndRulesWithAndWithoutYen) {
    for (const bool yen : {false, true}) {
        TestPage p(2);
        p.model.showYen = yen;
        p.setRow(1, {"a", "1", "", "1234567", "", ""});
        RecordingCanvas canvas;
        DrawPage(canvas, p.model);
        const QString sign = yen ? QString(QChar(0x00A5)) : QString();

        // N = 2: subtotal row at 260, tax at 280, total at 300, bottom 320.
        EXPECT_TRUE(textIn(canvas, sign + u("1,234,567 "), edges(400, 260, 490, 281)));
        EXPECT_TRUE(textIn(canvas, sign + u("98,765 "), edges(400, 280, 490, 301)));
        EXPECT_TRUE(textIn(canvas, sign + u("1,333,332 "), edges(400, 300, 490, 321)));
        // Each label in its own row, beside its own amount.
        EXPECT_EQ(onlyText(canvas, u("　小　　　計　")).rect, edges(10, 260, 400, 281));
        EXPECT_EQ(onlyText(canvas, u("　消　費　税　")).rect, edges(10, 280, 400, 301));
        EXPECT_EQ(onlyText(canvas, u("　合　　　計　")).rect, edges(10, 300, 400, 321));
        EXPECT_EQ(onlyText(canvas, u("　合　　　計　")).layout, TextLayout::RowCentre);
        // The amount box always has the sign.
        EXPECT_TRUE(textIn(canvas, u("¥1,333,332 "), edges(10, 167, 315, 188)));

        EXPECT_TRUE(hasLine(canvas, {10, 220}, {620, 220}, 2));
        EXPECT_TRUE(hasLine(canvas, {10, 300}, {620, 300}, 2));
        for (int y : {200, 240, 260, 320})
            EXPECT_TRUE(hasLine(canvas, {10, y}, {620, y}, 1)) << y;
        for (int x : {10, 400, 490, 620})
            EXPECT_TRUE(hasLine(canvas, {x, 200}, {x, 320}, 1)) << x;
        for (int x : {230, 270, 310})
            EXPECT_TRUE(hasLine(canvas, {x, 200}, {x, 260}, 1)) << x;
    }
}

TEST(PageRenderer, NoLinesPutsTheTotalsRightUnderTheTitles) {
    TestPage p(0);
    RecordingCanvas canvas;
    DrawPage(canvas, p.model);
    EXPECT_EQ(onlyText(canvas, u("　小　　　計　")).rect, edges(10, 220, 400, 241));
    for (int x : {230, 270, 310})
        EXPECT_TRUE(hasLine(canvas, {x, 200}, {x, 220}, 1)) << x;
    EXPECT_TRUE(hasLine(canvas, {10, 200}, {10, 280}, 1));
}

TEST(PageRenderer, RemarksLabelBoxAndWrappedMemo) {
    TestPage p(3);
    RecordingCanvas canvas;
    DrawPage(canvas, p.model);
    // T0 = 220, N = 3: label row 360..380, Y1 = 380.
    const CanvasOp* label = textIn(canvas, u("備考"), edges(10, 360, 620, 380));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->layout, TextLayout::RowLeft);
    const CanvasOp& memo = onlyText(canvas, u("納品は午前中にお願いします。"));
    EXPECT_EQ(memo.rect, edges(12, 382, 618, 462));
    EXPECT_EQ(memo.layout, TextLayout::Wrapped);
    EXPECT_TRUE(hasLine(canvas, {10, 380}, {620, 380}, 1));
    EXPECT_TRUE(hasLine(canvas, {10, 460}, {620, 460}, 1));
    EXPECT_TRUE(hasLine(canvas, {10, 380}, {10, 460}, 1));
    EXPECT_TRUE(hasLine(canvas, {620, 380}, {620, 460}, 1));
}

TEST(PageRenderer, ScreenMarksAppearOnScreenOnly) {
    for (const bool printing : {false, true}) {
        TestPage p(3);
        p.selection->SelectOnlyRow(2);
        p.model.BorderDrag[1] = true;
        p.model.scrollY = 30;
        p.model.PointerFormY = 470;
        p.model.Printing = printing;
        RecordingCanvas canvas;
        DrawPage(canvas, p.model);

        int highlights = 0;
        for (const CanvasOp& op : canvas.fills())
            if (op.brush.solid && op.brush.color == QColor(199, 226, 226)) {
                ++highlights;
                EXPECT_EQ(op.rect, edges(10, 240, 620, 261));
            }
        EXPECT_EQ(highlights, printing ? 0 : 1);

        // Guide at y = 500 in six dotted segments, each labelled with its length.
        const int bounds[7] = {10, 230, 270, 310, 400, 490, 620};
        for (int k = 0; k < 6; ++k) {
            bool found = false;
            for (const CanvasOp& op : canvas.lines())
                found |= op.from == QPoint(bounds[k], 500) && op.to == QPoint(bounds[k + 1], 500) &&
                         op.pen.style == PenStyle::Dotted;
            EXPECT_EQ(found, !printing) << k;
        }
        if (!printing) {
            // 220 over M..E1 (11 px font: "220" is 16 px wide, 11 high).
            EXPECT_EQ(onlyText(canvas, u("220")).rect, edges(112, 489, 128, 500));
            const int x90 = 310 + (90 - 11) / 2;
            EXPECT_TRUE(textIn(canvas, u("90"), edges(x90, 489, x90 + 11, 500)));
            EXPECT_EQ(onlyText(canvas, u("130")).rect.left(), (490 + 620 - 16) / 2);
        } else {
            EXPECT_EQ(canvas.textsEqual(u("220")).size(), 0);
        }

        const bool frame =
            hasLine(canvas, {0, 0}, {0, 891}) && hasLine(canvas, {629, 0}, {629, 891}) &&
            hasLine(canvas, {0, 0}, {630, 0}) && hasLine(canvas, {0, 890}, {630, 890});
        EXPECT_EQ(frame, !printing);
    }
}

struct OverflowCase {
    bool remarks;
    int heightDelta; // page height relative to the needed bottom
    bool shown;
};

TEST(PageRenderer, OverflowNoticeAppearsOnePixelPastTheBottom) {
    const OverflowCase cases[] = {
        {true, 0, false}, {true, -1, true}, {false, 0, false}, {false, -1, true}};
    for (const OverflowCase& c : cases) {
        TestPage p(10);
        p.model.showRemarks = c.remarks;
        // P = 200, LH = 20, N = 10.
        const int needed = c.remarks ? 200 + 20 * 16 + 80 : 200 + 20 * 14;
        p.model.pageHeight = needed + c.heightDelta;
        const QString notice = OverflowNotice(p.model);
        EXPECT_EQ(!notice.isEmpty(), c.shown) << c.remarks << " " << c.heightDelta;
        if (c.shown) {
            EXPECT_EQ(notice, c.remarks ? u("印刷範囲を超えている部分があります。必要なら備考欄表示"
                                            "、行間、行数、位置を調節してください。")
                                        : u("印刷範囲を超えている部分があります。必要なら行間、行数"
                                            "、位置を調節してください。"));
        }
    }
}

TEST(PageRenderer, FontOffsetAppliesToTheScaledTextsOnly) {
    TestPage p;
    p.model.FontSizeOffset = 2;
    p.model.FontName = "IPAGothic";
    p.model.FontColor = 0x000000FF; // red, as 00BBGGRR
    RecordingCanvas canvas;
    DrawPage(canvas, p.model);
    EXPECT_EQ(onlyText(canvas, u("  御 見 積 書  ")).font.pixelSize, 27); // 20 pt
    EXPECT_EQ(onlyText(canvas, u("品目・仕様")).font.pixelSize, 19);      // 14 pt
    EXPECT_EQ(onlyText(canvas, u("有限会社テスト")).font.pixelSize, 16);  // fixed 12 pt
    EXPECT_EQ(onlyText(canvas, u("No. 0042")).font.pixelSize, 11);        // fixed 8 pt
    EXPECT_EQ(onlyText(canvas, u("No. 0042")).font.family, u("IPAGothic"));
    EXPECT_EQ(onlyText(canvas, u("No. 0042")).font.color, QColor(255, 0, 0));
}

// The half-width yen sign is the byte 0x5C; record and sender text show it as ¥, never as
// the backslash its plain decoding gives.
TEST(PageRenderer, ByteFiveCShowsAsTheYenSign) {
    TestPage p(2);
    p.model.memo = sj("¥500引き");
    p.model.Sender[0] = sj("¥マート");
    p.setRow(1, {"値引¥", "1", "", "", "", "¥10"});
    ASSERT_EQ(p.model.memo.at(0), '\x5C');
    RecordingCanvas canvas;
    DrawPage(canvas, p.model);
    for (const char* text : {"¥500引き", "¥マート", " 値引¥", " ¥10"})
        EXPECT_EQ(canvas.textsEqual(u(text)).size(), 1) << text;
    for (const CanvasOp& op : canvas.ops())
        EXPECT_FALSE(op.text.contains(QLatin1Char('\\'))) << op.text.toStdString();
}
