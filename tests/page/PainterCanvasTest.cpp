// The QPainter canvas on a raster image: line ends, wrapped text that leaves out a
// partly visible line, Japanese glyphs through the fallback family, and the page's
// pixels that matter (row highlight, frame, rules in the line colour).
#include "page/PainterCanvas.h"
#include "PageTestModel.h"
#include "page/PageRenderer.h"
#include "platform/FontFamilies.h"

#include <QImage>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <gtest/gtest.h>

using namespace page;
using pagetest::sj;
using pagetest::TestPage;

namespace {

QImage whiteImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Rows of `area` holding any non-white pixel.
QList<int> inkedRows(const QImage& image, const QRect& area) {
    QList<int> rows;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                rows.append(y);
                break;
            }
    return rows;
}

int inkCount(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) != qRgb(255, 255, 255);
    return n;
}

QImage renderPage(TestPage& p) {
    QImage image = whiteImage(p.model.pageWidth, p.model.pageHeight);
    QPainter painter(&image);
    PainterCanvas canvas(painter);
    DrawPage(canvas, p.model);
    return image;
}

} // namespace

TEST(PainterCanvas, LinesCoverTheirStartButNotTheirEnd) {
    QImage image = whiteImage(40, 40);
    {
        QPainter painter(&image);
        PainterCanvas canvas(painter);
        canvas.setPen(PenSpec{Qt::black, 1, PenStyle::Solid});
        canvas.line({10, 5}, {20, 5});
        canvas.line({30, 30}, {30, 20});
        canvas.setPen(PenSpec{Qt::black, 2, PenStyle::Solid});
        canvas.line({5, 15}, {15, 15});
    }
    EXPECT_EQ(image.pixel(10, 5), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(19, 5), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(20, 5), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(30, 30), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 21), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 20), qRgb(255, 255, 255));
    EXPECT_EQ(inkCount(image, QRect(0, 12, 40, 6)), 20); // 10 long, 2 wide
}

TEST(PainterCanvas, WrappedTextBreaksJapaneseAndLeavesOutAPartlyVisibleLine) {
    QImage image = whiteImage(200, 200);
    const QRect box = edges(10, 10, 130, 90);
    int lineHeight = 0;
    {
        QPainter painter(&image);
        PainterCanvas canvas(painter);
        canvas.setFont(FontSpec{QStringLiteral("IPAGothic"), 16, Qt::black});
        lineHeight = canvas.textExtent(sj("あ")).height();
        // No spaces: the breaks must fall between the Japanese characters.
        canvas.drawText(box,
                        sj("いろはにほへとちりぬるをわかよたれそつねならむうゐのおくやまけふこえて"
                           "あさきゆめみしゑひもせすいろはにほへとちりぬるを"),
                        TextLayout::Wrapped);
    }
    const int fullLines = box.height() / lineHeight;
    ASSERT_LT(fullLines * lineHeight, box.height()) << "the test needs a partly visible line";
    const QList<int> rows = inkedRows(image, QRect(0, 0, 200, 200));
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_GE(rows.first(), box.top());
    EXPECT_LT(rows.last(), box.top() + fullLines * lineHeight);
    EXPECT_GE(rows.last(), box.top() + (fullLines - 1) * lineHeight);
    EXPECT_EQ(inkCount(image, QRect(box.right() + 1, 0, 60, 200)), 0) << "clipped to the width";
}

TEST(PainterCanvas, SingleLineLayoutsClipToTheirRectangle) {
    QImage image = whiteImage(200, 60);
    {
        QPainter painter(&image);
        PainterCanvas canvas(painter);
        canvas.setFont(FontSpec{QStringLiteral("IPAGothic"), 16, Qt::black});
        canvas.drawText(edges(20, 20, 60, 41), sj("とても長い品目の名前です"), TextLayout::RowLeft);
    }
    EXPECT_GT(inkCount(image, QRect(20, 20, 40, 21)), 0);
    EXPECT_EQ(inkCount(image, QRect(60, 0, 140, 60)), 0);
    EXPECT_EQ(inkCount(image, QRect(0, 41, 200, 19)), 0);
}

TEST(PainterCanvas, AmpersandIsDrawnAsWritten) {
    // "A&B商事" is a company name, not a mnemonic: the ampersand must show.
    QImage single = whiteImage(40, 30);
    {
        QPainter painter(&single);
        PainterCanvas canvas(painter);
        canvas.setFont(FontSpec{QStringLiteral("IPAGothic"), 21, Qt::black});
        canvas.drawText(edges(0, 0, 40, 30), sj("&"), TextLayout::RowLeft);
    }
    EXPECT_GT(inkCount(single, single.rect()), 10);
}

TEST(PainterCanvas, JapaneseTextFindsGlyphsWhenTheFontIsMissing) {
    // Tahoma is not installed here; the page must still show its Japanese texts, and
    // the yen sign must not turn into a backslash.
    QImage yen = whiteImage(60, 30), backslash = whiteImage(60, 30), kanji = whiteImage(60, 30);
    const auto draw = [](QImage& image, const QString& text) {
        QPainter painter(&image);
        PainterCanvas canvas(painter);
        canvas.setFont(FontSpec{QStringLiteral("Tahoma"), 21, Qt::black});
        canvas.drawText(edges(0, 0, 60, 30), text, TextLayout::Plain);
    };
    draw(yen, QString(QChar(0x00A5)));
    draw(backslash, QStringLiteral("\\"));
    draw(kanji, QStringLiteral("御"));
    EXPECT_GT(inkCount(kanji, kanji.rect()), 20);
    EXPECT_NE(yen, backslash);
}

TEST(PainterCanvas, PageShowsHighlightFrameAndRulesOnScreenOnly) {
    for (const bool printing : {false, true}) {
        TestPage p(3);
        p.model.FontName = "IPAGothic";
        p.model.LineColor = 0x00DBC6AA; // red AA, green C6, blue DB
        p.model.Printing = printing;
        p.selection->SelectOnlyRow(2);
        const QImage image = renderPage(p);
        const QRgb white = qRgb(255, 255, 255), line = qRgb(0xAA, 0xC6, 0xDB);

        // Line 2 (blank) spans 240..260; its highlight reaches y = 260 inclusive.
        EXPECT_EQ(image.pixel(100, 250), printing ? white : qRgb(199, 226, 226));
        EXPECT_EQ(image.pixel(600, 260), printing ? white : qRgb(199, 226, 226));
        EXPECT_EQ(image.pixel(0, 400), printing ? white : qRgb(128, 128, 128));
        EXPECT_EQ(image.pixel(629, 400), printing ? white : qRgb(128, 128, 128));
        EXPECT_EQ(image.pixel(300, 890), printing ? white : qRgb(128, 128, 128));

        // Rules in the line colour: the title top at P = 200, the double-width rule
        // under the titles at T0 = 220, the left border at M = 10.
        EXPECT_EQ(image.pixel(100, 200), line);
        EXPECT_EQ(image.pixel(100, 219), line);
        EXPECT_EQ(image.pixel(100, 220), line);
        EXPECT_EQ(image.pixel(10, 300), line);
        EXPECT_EQ(image.pixel(100, 199), white);
    }
}

// Record text is CP932: its byte 0x5C is the yen sign and must reach the paper as one, on
// the canvas and on a whole rendered page (the remarks box, 12 pt = 16 px).
TEST(PainterCanvas, ByteFiveCIsDrawnAsTheYenSign) {
    const QRect box = edges(0, 0, 60, 30);
    const auto draw = [&](const auto& text) {
        QImage image = whiteImage(60, 30);
        QPainter painter(&image);
        PainterCanvas canvas(painter);
        canvas.setFont(FontSpec{QStringLiteral("Tahoma"), 21, Qt::black});
        canvas.drawText(box, text, TextLayout::Plain);
        return image;
    };
    EXPECT_EQ(draw(QByteArray("\x5C")), draw(QString(QChar(0x00A5))));
    EXPECT_NE(draw(QByteArray("\x5C")), draw(QStringLiteral("\\")));

    TestPage withBytes, reference;
    withBytes.model.memo = QByteArray("\x5C"
                                      "500");
    reference.model.memo.clear();
    const QImage page = renderPage(withBytes);
    QImage expected = renderPage(reference);
    {
        QPainter painter(&expected);
        PainterCanvas canvas(painter);
        canvas.setFont(FontSpec{QStringLiteral("Tahoma"), 16, Qt::black});
        canvas.drawText(edges(12, 382, 618, 462), QString(QChar(0x00A5)) + QStringLiteral("500"),
                        TextLayout::Wrapped);
    }
    const QRect memoBox(12, 382, 606, 80);
    EXPECT_GT(inkCount(page, memoBox), 0);
    EXPECT_EQ(page.copy(memoBox), expected.copy(memoBox));
}

// A family the machine lacks gives way to the Japanese stand-in before Qt sees it; the text
// comes out in the face it would have had anyway.
TEST(PageFont, AMissingFamilyGivesWayToTheStandInWithTheSameFace) {
    const QString missing = QStringLiteral("Tahoma");
    if (QFontDatabase::hasFamily(missing))
        GTEST_SKIP() << "Tahoma is installed here";
    ASSERT_TRUE(fonts::isInstalled(fonts::kPageStandIn));

    const QFont made = page::PainterCanvas::makeFont(page::FontSpec{missing, 16, Qt::black},
                                                     fonts::kPageStandIn);
    EXPECT_EQ(made.families(), QStringList{fonts::kPageStandIn});
    QFont asAsked;
    asAsked.setFamilies({missing, fonts::kPageStandIn});
    asAsked.setPixelSize(16);
    EXPECT_EQ(QFontInfo(made).family(), QFontInfo(asAsked).family());

    // An installed family stays first, the stand-in behind it for the glyphs it lacks.
    const QString gothic = QStringLiteral("IPAPGothic");
    const QFont installed =
        page::PainterCanvas::makeFont(page::FontSpec{gothic, 16, Qt::black}, fonts::kPageStandIn);
    EXPECT_EQ(installed.families(), (QStringList{gothic, fonts::kPageStandIn}));
    // Without a fallback the family is passed on as it is, installed or not.
    EXPECT_EQ(page::PainterCanvas::makeFont(page::FontSpec{missing, 16, Qt::black}, {}).families(),
              QStringList{missing});

    // The window's font: the family itself, or the one Qt shows in its place.
    const QString meiryo = QString::fromUtf8("メイリオ");
    EXPECT_EQ(fonts::installedOrShown(meiryo), QFontInfo(QFont(meiryo)).family());
    EXPECT_EQ(fonts::installedOrShown(gothic), gothic);
}
