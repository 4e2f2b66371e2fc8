// Page size from the printable area and the print-scale text.
#include "page/PageSize.h"
#include "page/PrintPlacement.h"

#include <gtest/gtest.h>

namespace {

PrinterCaps area(int hs, int vs) {
    PrinterCaps c;
    c.horzSize = hs;
    c.vertSize = vs;
    return c;
}

struct SizeCase {
    int hs, vs;
    const char* scale;
    int w, h;
};

class PageSizeScale : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PageSizeScale, GivesThreePixelsPerMillimetreScaledAndRoundedHalfEven) {
    const SizeCase c = GetParam();
    const PageSizeResult r = computePageSize(area(c.hs, c.vs), QString::fromUtf8(c.scale), {});
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.page, QSize(c.w, c.h));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageSizeScale,
    ::testing::Values(SizeCase{203, 289, "0", 609, 867},     // unscaled
                      SizeCase{201, 289, "100", 1206, 1734}, // doubled
                      SizeCase{201, 289, "-50", 302, 434},   // 301.5 -> 302, 433.5 -> 434
                      SizeCase{203, 289, "-50", 304, 434},   // 304.5 -> 304
                      SizeCase{200, 287, "-30", 420, 603},   // 0.7 is inexact: 420.0, 602.7
                      SizeCase{203, 289, " +10", 670, 954},  // leading blanks and sign
                      SizeCase{203, 289, "$0A", 670, 954},   // hexadecimal reads too
                      SizeCase{203, 289, "-100", 0, 0},      // nothing left of the page
                      SizeCase{203, 289, "-200", 0, 0}));    // never a negative size

TEST(PageSize, StatusTextAndPanelUnderThePageFollowThePage) {
    const PageSizeResult r = computePageSize(area(203, 289), "100", QPoint(12, 7));
    EXPECT_EQ(r.statusText, QStringLiteral("印刷範囲203×289")); // unscaled millimetres
    EXPECT_EQ(r.pl2Width, 12 + 1218 + 10);
    EXPECT_EQ(r.pl2Top, 7 + 1734);
}

TEST(PageSize, TextThatIsNotAnIntegerGivesTheConversionErrorAndNoSize) {
    for (const QString& text :
         {QString(), QStringLiteral("1 "), QStringLiteral("１０"), QStringLiteral("1.5"),
          QStringLiteral("-"), QStringLiteral("99999999999")}) {
        const PageSizeResult r = computePageSize(area(203, 289), text, {});
        EXPECT_EQ(r.error, QStringLiteral("'%1' は整数ではありません").arg(text));
        EXPECT_FALSE(r.page.isValid()) << text.toStdString();
        EXPECT_TRUE(r.statusText.isEmpty());
    }
    EXPECT_EQ(readPrintScale("0"), 0);
    EXPECT_EQ(readPrintScale("-100"), -100);
}

TEST(PageSize, HugeScaleIsHeldToTheLargestWidgetSize) {
    const PageSizeResult r = computePageSize(area(203, 289), "2147483647", {});
    EXPECT_EQ(r.page, QSize(kMaxPageEdge, kMaxPageEdge));
}

// --- placement of the page on the sheet ---

PrinterCaps device(int physicalWidth, int offsetX, int offsetY, int horzRes, int vertRes) {
    PrinterCaps c;
    c.physicalWidth = physicalWidth;
    c.physicalOffsetX = offsetX;
    c.physicalOffsetY = offsetY;
    c.horzRes = horzRes;
    c.vertRes = vertRes;
    return c;
}

TEST(PrintPlacement, NoLeftMarginShrinksThePictureByOnePixel) {
    const PrintPlacement p = computePrintPlacement(device(4960, 0, 0, 4960, 7016), {600, 861});
    ASSERT_TRUE(p.valid);
    EXPECT_EQ(p.offsetA, -1);
    EXPECT_EQ(p.picture, QSize(599, 860));
    EXPECT_EQ(p.target, QRect(0, 0, 4960, 7016));
    EXPECT_DOUBLE_EQ(p.scaleX, 4960.0 / 599);
    EXPECT_DOUBLE_EQ(p.scaleY, 7016.0 / 860);
}

TEST(PrintPlacement, OffsetIsTwiceTheLeftMarginInPagePixelsRoundedHalfEven) {
    struct {
        int offsetX, a;
    } cases[] = {{4, 4}, {5, 4}, {7, 8}, {6, 6}};
    // 2000 device pixels over a 1000-pixel page: 2 device pixels per page pixel.
    for (const auto& c : cases) {
        const PrintPlacement p =
            computePrintPlacement(device(2000, c.offsetX, 9, 1900, 2700), {1000, 1400});
        ASSERT_TRUE(p.valid);
        EXPECT_EQ(p.offsetA, c.a) << "offset " << c.offsetX;
        EXPECT_EQ(p.picture, QSize(1000 + c.a, 1400 + c.a));
        EXPECT_EQ(p.target, QRect(c.offsetX, 9, 1900, 2700));
    }
}

TEST(PrintPlacement, EmptyPageCannotBePlaced) {
    const PrinterCaps caps = device(4960, 0, 0, 4960, 7016);
    EXPECT_FALSE(computePrintPlacement(caps, {0, 0}).valid); // print scale -100
    EXPECT_FALSE(computePrintPlacement(caps, {1, 1}).valid); // a = -1 leaves nothing
    EXPECT_FALSE(computePrintPlacement(device(0, 5, 5, 0, 0), {600, 861}).valid);
}

} // namespace
