// The side panel's rules: number readings with their fallbacks and clamps, the key filter
// of the number boxes and the text they take otherwise, colour values and the hint table.
#include "interaction/SidePanel.h"

#include "page/PageModel.h"

#include <QSet>

#include <gtest/gtest.h>

#include <utility>

namespace {

using namespace sidepanel;

struct Reading {
    const char* text;
    int rowPitch, rowCount, tablePosition, margin;
};

TEST(SidePanelTest, NumberBoxesFallBackAndClampAsEachValueNeeds) {
    const Reading cases[] = {
        {"", 22, 21, 200, 10},
        {"abc", 22, 21, 200, 10},
        {"3", 16, 5, 3, 10},
        {"16", 16, 16, 16, 16},
        {"45", 45, 45, 45, 30},
        {"120", 120, 120, 120, 30},
        {"0", 16, 5, 0, 10},
        {"-7", 16, 5, -7, 10},
        {"2147483647", 10000, 2147483647, 1000000, 30}, // kept within the page's arithmetic
        {"2147483648", 22, 21, 200, 10},                // beyond 32 bits: the fallback
        {"２０", 22, 21, 200, 10},                      // full-width digits are not a number
    };
    for (const Reading& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(RowPitchFromText(text), c.rowPitch);
        EXPECT_EQ(RowCountFromText(text), c.rowCount);
        EXPECT_EQ(TablePositionFromText(text), c.tablePosition);
        EXPECT_EQ(MarginFromText(text), c.margin);
    }
}

TEST(SidePanelTest, TaxPercentBecomesARateAndTextThatIsNoNumberKeepsTheRate) {
    EXPECT_EQ(TaxRateFromText(u"1", 0.08), 0.01);
    EXPECT_EQ(TaxRateFromText(u"10", 0.01), 0.1);
    EXPECT_EQ(TaxRateFromText(u"8", 0.1), 0.08);
    EXPECT_EQ(TaxRateFromText(u"0", 0.1), 0.0);
    // Kept exactly, not as rate * 100 / 100.
    for (double rate : {0.08, 0.1, 0.07, 1.0 / 3.0}) {
        EXPECT_EQ(TaxRateFromText(u"", rate), rate);
        EXPECT_EQ(TaxRateFromText(u".", rate), rate);
        EXPECT_EQ(TaxRateFromText(u"x", rate), rate);
    }
}

TEST(SidePanelTest, NumberBoxesTakeDigitsBackspaceAndKeysThatTypeNothing) {
    struct Key {
        int key;
        const char16_t* text;
        bool accepted;
    };
    const Key keys[] = {
        {Qt::Key_0, u"0", true},          {Qt::Key_9, u"9", true},
        {Qt::Key_Backspace, u"\b", true}, {Qt::Key_Delete, u"\x7f", true},
        {Qt::Key_Left, u"", true},        {Qt::Key_Tab, u"\t", true},
        {Qt::Key_Minus, u"-", false},     {Qt::Key_Period, u".", false},
        {Qt::Key_Plus, u"+", false},      {Qt::Key_A, u"a", false},
        {Qt::Key_Space, u" ", false},     {Qt::Key_V, u"\x16", false}, // Ctrl+V
        {Qt::Key_2, u"２", false},        {Qt::Key_Return, u"\r", false},
    };
    for (const Key& k : keys) {
        SCOPED_TRACE(QString::fromUtf16(k.text).toUtf8().toHex().constData());
        EXPECT_EQ(NumberBoxAcceptsKey(k.key, QStringView(k.text)), k.accepted);
    }
}

TEST(SidePanelTest, TextArrivingInANumberBoxIsTakenAsHalfWidthDigitsOrNotAtAll) {
    const std::pair<const char16_t*, const char16_t*> cases[] =
        {
            {u"１０", u"10"},  {u"15", u"15"},   {u"１5", u"15"}, {u" ２０\n", u"20"},
            {u"　８　", u"8"}, {u"", u""},       {u"7.5", u""},   {u"-5", u""},
            {u"－５", u""},    {u"１０％", u""}, {u"1 0", u""},   {u"あ", u""},
            {u"\u0663", u""}, // an Arabic-Indic three is a digit, but not one of ours
        };
    for (const auto& [arriving, taken] : cases) {
        SCOPED_TRACE(QString::fromUtf16(arriving).toStdString());
        EXPECT_EQ(NumberBoxDigits(QStringView(arriving)), QString::fromUtf16(taken));
    }
}

TEST(SidePanelTest, SwatchValueKeepsASystemColourWhileTheSwatchStillShowsIt) {
    EXPECT_EQ(WindowsColorOf(QColor(0x11, 0x22, 0x33)), 0x00332211u);
    const colornames::ColorValue btnFace = colornames::systemColorBase + 15;
    EXPECT_EQ(SwatchColorValue(page::ColorFromWindows(btnFace), btnFace), btnFace);
    EXPECT_EQ(SwatchColorValue(QColor(0x11, 0x22, 0x33), btnFace), 0x00332211u);
    EXPECT_EQ(SwatchColorValue(QColor(0xAA, 0xC6, 0xDB), 0x00DBC6AAu), 0x00DBC6AAu);
}

TEST(SidePanelTest, HintTableNamesEachControlOnceWithTheHandlersItHas) {
    QSet<QString> names;
    for (const ControlHint& entry : ControlHints()) {
        EXPECT_FALSE(names.contains(QString::fromLatin1(entry.name))) << entry.name;
        names.insert(QString::fromLatin1(entry.name));
    }
    const ControlHint* kind = FindControlHint(u"RadioGroup1");
    ASSERT_NE(kind, nullptr);
    EXPECT_FALSE(kind->statusOnEnter); // a pop-up hint only
    const ControlHint* append = FindControlHint(u"Button4");
    ASSERT_NE(append, nullptr);
    EXPECT_TRUE(append->statusOnEnter);
    EXPECT_FALSE(append->clearOnLeave); // the hint stays after leaving
    const ControlHint* tax = FindControlHint(u"Edit10");
    ASSERT_NE(tax, nullptr);
    EXPECT_STREQ(tax->hint, "　レコード毎に登録されます");
    const ControlHint* grid = FindControlHint(u"DBGrid1");
    ASSERT_NE(grid, nullptr);
    EXPECT_STREQ(grid->hint, ""); // entering it clears the status hint
    EXPECT_EQ(FindControlHint(u"Edit1"), nullptr);
}

} // namespace
