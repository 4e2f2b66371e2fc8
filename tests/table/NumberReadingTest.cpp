#include "table/NumberReading.h"

#include "TableTestText.h"

#include <gtest/gtest.h>

namespace {

constexpr qint32 kDefault = -77;

TEST(ReadInteger, AcceptsDecimalAndHexFormsWithin32Bits) {
    const std::pair<QByteArray, qint32> cases[] = {
        {"0", 0},
        {"123", 123},
        {"   123", 123},
        {"+5", 5},
        {"-5", -5},
        {"007", 7},
        {"$FF", 255},
        {"x1f", 31},
        {"X1F", 31},
        {"0x10", 16},
        {"0X10", 16},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"$7FFFFFFF", 2147483647},
        {"-$80000000", -2147483647 - 1},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ReadInteger(text, kDefault), value) << text.toStdString();
    }
}

TEST(ReadInteger, FallsBackToDefaultForAnythingElse) {
    const QByteArray cases[] = {
        "",           "   ",
        "123 ", // trailing blank
        "\t5",  // only half-width spaces are skipped
        "+",          "- 5",        "1,000",
        "1.5",        "1e3",
        "\\500", // 0x5C, the yen sign of Japanese fonts
        sj("５００"), "$",          "0x",
        "$G",         "2147483648", "-2147483649",
        "$80000000",  "$FFFFFFFF",  "99999999999999999999999",
    };
    for (const auto& text : cases) {
        EXPECT_EQ(ReadInteger(text, kDefault), kDefault) << text.toStdString();
    }
}

TEST(ReadDecimal, ReadsPlainAndExponentForms) {
    const std::pair<QByteArray, long double> cases[] = {
        {"1.5", 1.5L}, {"  1.5  ", 1.5L},  {"-2", -2.0L},       {"+.5", 0.5L},
        {"5.", 5.0L},  {"1e3", 1000.0L},   {"1E-2", 0.01L},     {"2.5e+1", 25.0L},
        {"0", 0.0L},   {"1e-99999", 0.0L}, {"00012.50", 12.5L},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ReadDecimal(text, -1.0L), value) << text.toStdString();
    }
}

TEST(ReadDecimal, HoldsExtendedPrecision) {
    EXPECT_EQ(ReadDecimal("0.1", 0), 0.1L);
    EXPECT_NE(ReadDecimal("0.1", 0), static_cast<long double>(0.1));
    EXPECT_GT(ReadDecimal("1e4000", 0), 1e4000L / 2); // beyond double
}

TEST(ReadDecimal, FallsBackToDefaultForAnythingElse) {
    const QByteArray cases[] = {
        "",    " ",     "-",  "+",   ".",      "1e",      "1e+",  "1,5", "1.5x",
        "1 2", "1.2.3", "e5", "\t1", sj("１"), "1e99999", "0x10", "inf", "nan",
    };
    for (const auto& text : cases) {
        EXPECT_EQ(ReadDecimal(text, 42.0L), 42.0L) << text.toStdString();
    }
}

// The grouped readings take everything the plain ones take, and grouped digits too.
TEST(GroupedReadings, ReadDigitsGroupedByThreesAsTheNumberShown) {
    const struct {
        QByteArray text;
        qint32 integer;      // kDefault when the integer reading fails
        long double decimal; // -1 when the decimal reading fails
    } cases[] = {
        {"1,000", 1000, 1000.0L},
        {"12,345,678", 12345678, 12345678.0L},
        {"-1,000", -1000, -1000.0L},
        {"+1,000", 1000, 1000.0L},
        {"  1,000", 1000, 1000.0L},
        {"999,999", 999999, 999999.0L},
        {"2,147,483,647", 2147483647, 2147483647.0L},
        {"2,147,483,648", kDefault, 2147483648.0L}, // beyond 32 bits
        {"1,000.5", kDefault, 1000.5L},             // a fraction is for the decimal reading
        {"1,000.", kDefault, 1000.0L},
        {"1,000e3", kDefault, 1000000.0L},
        {"1,000 ", kDefault, 1000.0L}, // a trailing blank, as without grouping
        {"1000", 1000, 1000.0L},       // the plain forms read as before
        {"$FF", 255, -1.0L},
        {"1.5", kDefault, 1.5L},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadGroupedInteger(c.text, kDefault), c.integer) << c.text.toStdString();
        EXPECT_EQ(ReadGroupedDecimal(c.text, -1.0L), c.decimal) << c.text.toStdString();
    }
}

TEST(GroupedReadings, MalformedGroupingFallsBackToDefault) {
    const QByteArray cases[] = {
        "1,00",    "10,00,000", ",100",   "1,,000",         "1,000,00", "1,0000", "1234,567",
        "0,100",   "01,000",    "1,000,", "1, 000",         "1,000,,",  "-,100",  "1.000,5",
        "0x1,000", "$1,000",    "1,00.5", sj("１，０００"), "1,000x",
    };
    for (const auto& text : cases) {
        EXPECT_EQ(ReadGroupedInteger(text, kDefault), kDefault) << text.toStdString();
        EXPECT_EQ(ReadGroupedDecimal(text, 42.0L), 42.0L) << text.toStdString();
    }
}

TEST(NumberCellText, ADashBeforeDigitsBecomesTheMinusSignTheReadingsTake) {
    const struct {
        const char* typed;
        const char* kept;
        qint32 read;
    } cases[] = {
        {"ー１００", "-100", -100},        // the input method's minus key
        {"ｰ100", "-100", -100},            // the same, half-width
        {"−100", "-100", -100},            // U+2212, the minus sign
        {"－１，０００", "-1,000", -1000}, // the full-width hyphen-minus
        {"‐5", "-5", -5},                  // the hyphen
        {"　ー１", " -1", -1},             // after spaces
        {"-100", "-100", -100},
        {"１２", "12", 12},
        {"ー", "ｰ", kDefault}, // a lone dash is text
        {"ーー１", "ｰｰ1", kDefault},
        {"１ー２", "1ｰ2", kDefault},
        {"ーA", "ｰA", kDefault},
    };
    for (const auto& c : cases) {
        const QString kept = NumberCellText(QString::fromUtf8(c.typed));
        EXPECT_EQ(kept, QString::fromUtf8(c.kept)) << c.typed;
        EXPECT_EQ(ReadGroupedInteger(cp932::encode(kept), kDefault), c.read) << c.typed;
    }
    EXPECT_EQ(ReadGroupedDecimal(cp932::encode(NumberCellText(QString::fromUtf8("ー.５"))), 0),
              -0.5L);
}

} // namespace
