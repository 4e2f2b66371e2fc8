// The page of a qualified invoice: registration number, rows per tax rate and the
// footnote, and, with the mode off, the page exactly as it was drawn before the mode.
#include "PageTestModel.h"
#include "page/PageGeometry.h"
#include "page/PageRenderer.h"
#include "page/RecordingCanvas.h"

#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace page;
using pagetest::sj;
using pagetest::TestPage;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Every call the renderer made, one line each, with the state in force.
QString dumpOps(const RecordingCanvas& canvas) {
    QString out;
    QTextStream s(&out);
    const char* kinds[] = {"text", "line", "frame", "fill"};
    for (const CanvasOp& op : canvas.ops()) {
        s << kinds[op.kind] << ' ';
        if (op.kind == CanvasOp::Line)
            s << op.from.x() << ',' << op.from.y() << "->" << op.to.x() << ',' << op.to.y();
        else
            s << op.rect.left() << ',' << op.rect.top() << ',' << op.rect.width() << 'x'
              << op.rect.height();
        s << " pen=" << op.pen.color.name() << '/' << op.pen.width << '/' << int(op.pen.style)
          << " brush=" << op.brush.solid << '/' << op.brush.color.name()
          << " font=" << op.font.family << '/' << op.font.pixelSize << '/' << op.font.color.name();
        if (op.kind == CanvasOp::Text)
            s << " layout=" << int(op.layout) << " [" << op.text << ']';
        s << '\n';
    }
    return out;
}

// The mixed document: two reduced-rate lines, two at the record's rate.
TestPage mixedPage() {
    TestPage p(6);
    p.setRow(1, {"※米", "2", "袋", "2480", "", ""});
    p.setRow(2, {"※お茶", "3", "本", "298", "", ""});
    p.setRow(3, {"洗剤", "2", "個", "398", "", ""});
    p.setRow(4, {"配送料", "", "", "500", "", ""});
    p.model.SalesTaxRate = 0.1;
    p.selection->SelectOnlyRow(2);
    return p;
}

// The text drawn into exactly `rect` with `layout` and font size `pixels`.
bool drawn(const RecordingCanvas& canvas, const char* text, const QRect& rect, TextLayout layout,
           int pixels) {
    for (const CanvasOp& op : canvas.texts())
        if (op.text == u(text) && op.rect == rect && op.layout == layout &&
            op.font.pixelSize == pixels)
            return true;
    return false;
}

bool hasLine(const RecordingCanvas& canvas, QPoint from, QPoint to, int width) {
    for (const CanvasOp& op : canvas.lines())
        if (op.from == from && op.to == to && op.pen.width == width)
            return true;
    return false;
}

bool drawsText(const RecordingCanvas& canvas, const char* text) {
    return !canvas.textsEqual(u(text)).isEmpty();
}

void qualify(TestPage& p, const char* number = "T4011001098993") {
    p.model.invoice.qualified = true;
    p.model.invoice.registrationNumber = QString::fromLatin1(number);
    p.model.invoice.reducedRate = 0.08;
}

QString fixture(const char* name) {
    QFile file(QStringLiteral(LEDORA_FIXTURES_DIR "/page/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

TEST(QualifiedPage, ModeOffDrawsMarkedLinesExactlyAsBefore) {
    TestPage p = mixedPage();
    // Everything of the mode is set but the switch.
    qualify(p);
    p.model.invoice.qualified = false;
    RecordingCanvas canvas;
    DrawPage(canvas, p.model);
    const QString expected = fixture("marked-lines-mode-off.txt");
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(dumpOps(canvas), expected);
}

// Page of the tests: P 200, pitch 20, six lines, so T0 = 220 and the totals start at 340;
// E4 = 400, E5 = 490, R = 620; the sender block runs from 420 with a pitch of 22.
TEST(QualifiedPage, MixedDocumentShowsBothRatesTheNumberAndTheFootnote) {
    TestPage p = mixedPage();
    qualify(p);
    RecordingCanvas canvas;
    const TableTotals totals = DrawPage(canvas, p.model);
    EXPECT_EQ(totals.GrandTotal, 7747);

    EXPECT_TRUE(
        drawn(canvas, "登録番号 T4011001098993", edges(420, 178, 620, 189), TextLayout::Plain, 11));
    const std::pair<const char*, const char*> rows[] = {{"10%対象 小計", "1,296 "},
                                                        {"消費税（10%）", "129 "},
                                                        {"※8%対象 小計", "5,854 "},
                                                        {"消費税（8%）", "468 "},
                                                        {"　合　　　計　", "7,747 "}};
    for (int k = 0; k < 5; ++k) {
        const int top = 340 + 20 * k;
        EXPECT_TRUE(
            drawn(canvas, rows[k].first, edges(10, top, 400, top + 21), TextLayout::RowCentre, 16))
            << k;
        EXPECT_TRUE(
            drawn(canvas, rows[k].second, edges(400, top, 490, top + 21), TextLayout::RowRight, 16))
            << k;
    }
    EXPECT_TRUE(drawn(canvas, "¥7,747 ", edges(10, 167, 315, 188), TextLayout::Right, 21));

    // Thin rules between the rows, the wide one above the total, verticals to the bottom.
    for (int y : {360, 380, 400, 440})
        EXPECT_TRUE(hasLine(canvas, {10, y}, {620, y}, 1)) << y;
    EXPECT_TRUE(hasLine(canvas, {10, 420}, {620, 420}, 2));
    EXPECT_FALSE(hasLine(canvas, {10, 380}, {620, 380}, 2));
    for (int x : {10, 400, 490, 620})
        EXPECT_TRUE(hasLine(canvas, {x, 200}, {x, 440}, 1)) << x;

    EXPECT_TRUE(
        drawn(canvas, "※は軽減税率対象品目", edges(10, 440, 620, 460), TextLayout::RowLeft, 11));
    // The remarks move down by the two rows, and so does the box a click opens them in.
    EXPECT_TRUE(drawn(canvas, "備考", edges(10, 460, 620, 480), TextLayout::RowLeft, 16));
    EXPECT_TRUE(hasLine(canvas, {10, 480}, {620, 480}, 1));
    EXPECT_TRUE(hasLine(canvas, {10, 560}, {620, 560}, 1));
    EXPECT_EQ(PageGeometry::of(p.model, 6).Y1, 480);
}

TEST(QualifiedPage, OneRateKeepsTheRowsInPlaceWithTheRateInTheirLabels) {
    TestPage p(6);
    p.setRow(1, {"工事費", "1", "式", "6000", "", ""});
    p.setRow(2, {"部材", "3", "個", "500", "", ""});
    p.model.SalesTaxRate = 0.1;
    qualify(p, "");
    RecordingCanvas canvas;
    DrawPage(canvas, p.model);
    const std::pair<const char*, const char*> rows[] = {
        {"10%対象 小計", "7,500 "}, {"消費税（10%）", "750 "}, {"　合　　　計　", "8,250 "}};
    for (int k = 0; k < 3; ++k) {
        const int top = 340 + 20 * k;
        EXPECT_TRUE(
            drawn(canvas, rows[k].first, edges(10, top, 400, top + 21), TextLayout::RowCentre, 16));
        EXPECT_TRUE(drawn(canvas, rows[k].second, edges(400, top, 490, top + 21),
                          TextLayout::RowRight, 16));
    }
    EXPECT_TRUE(hasLine(canvas, {10, 380}, {620, 380}, 2));
    EXPECT_TRUE(drawn(canvas, "備考", edges(10, 420, 620, 440), TextLayout::RowLeft, 16));
    // No number set, no marked item: neither the number's line nor the footnote.
    EXPECT_FALSE(drawsText(canvas, "登録番号 "));
    EXPECT_FALSE(drawsText(canvas, "※は軽減税率対象品目"));
    EXPECT_FALSE(drawsText(canvas, "　小　　　計　"));
}

TEST(QualifiedPage, OverflowNoticeCountsTheRowsOfTheSecondRate) {
    struct Case {
        bool remarks;
        int neededBottom; // the lowest pixel row the page must hold
    };
    // With the remarks: P + LH (N + 8) + 80; without: the footnote's bottom.
    const Case cases[] = {{true, 200 + 20 * 14 + 80}, {false, 200 + 20 * 13}};
    for (const Case& c : cases) {
        TestPage p = mixedPage();
        qualify(p);
        p.model.showRemarks = c.remarks;
        RecordingCanvas canvas;
        DrawPage(canvas, p.model); // as the paint does before the notice
        p.model.pageHeight = c.neededBottom;
        EXPECT_TRUE(OverflowNotice(p.model).isEmpty()) << c.remarks;
        p.model.pageHeight = c.neededBottom - 1;
        EXPECT_FALSE(OverflowNotice(p.model).isEmpty()) << c.remarks;
    }
}

// A record at the reduced rate: its marked lines join its own group, yet they are still the
// reduced-rate items the footnote names, and the footnote still needs its row.
TEST(QualifiedPage, RecordAtTheReducedRateKeepsTheFootnoteForItsMarkedLines) {
    TestPage p = mixedPage();
    p.model.SalesTaxRate = 0.08;
    qualify(p);
    p.model.showRemarks = false;
    RecordingCanvas canvas;
    DrawPage(canvas, p.model);
    EXPECT_TRUE(drawn(canvas, "8%対象 小計", edges(10, 340, 400, 361), TextLayout::RowCentre, 16));
    EXPECT_FALSE(drawsText(canvas, "※8%対象 小計"));
    EXPECT_TRUE(
        drawn(canvas, "※は軽減税率対象品目", edges(10, 400, 620, 420), TextLayout::RowLeft, 11));
    // Lines, three totals rows and the footnote's row: 200 + 20 x (1 + 6 + 3 + 1).
    p.model.pageHeight = 420;
    EXPECT_TRUE(OverflowNotice(p.model).isEmpty());
    p.model.pageHeight = 419;
    EXPECT_FALSE(OverflowNotice(p.model).isEmpty());
}

// With no rate of its own a record has no groups to state: the page is the plain one, and
// the ※ lines are not taxed at the reduced rate on top.
TEST(QualifiedPage, RecordWithoutARateDrawsThePlainTotals) {
    for (const bool remarks : {true, false}) {
        TestPage plain = mixedPage();
        plain.model.SalesTaxRate = 0;
        plain.model.showRemarks = remarks;
        TestPage qualified = mixedPage();
        qualified.model.SalesTaxRate = 0;
        qualified.model.showRemarks = remarks;
        qualify(qualified, "");
        RecordingCanvas plainCanvas, qualifiedCanvas;
        const TableTotals plainTotals = DrawPage(plainCanvas, plain.model);
        const TableTotals totals = DrawPage(qualifiedCanvas, qualified.model);
        EXPECT_EQ(totals.GrandTotal, 7150) << remarks;
        EXPECT_EQ(totals.GrandTotal, plainTotals.GrandTotal) << remarks;
        EXPECT_EQ(dumpOps(qualifiedCanvas), dumpOps(plainCanvas)) << remarks;
        EXPECT_EQ(PageGeometry::of(qualified.model, 6).Y1, PageGeometry::of(plain.model, 6).Y1);
        for (int height : {440, 520, 540, 559, 560}) {
            plain.model.pageHeight = qualified.model.pageHeight = height;
            EXPECT_EQ(OverflowNotice(qualified.model), OverflowNotice(plain.model)) << height;
        }
    }
}
