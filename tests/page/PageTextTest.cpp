// Amounts, quantities and dates as the page writes them.
#include "page/PageText.h"

#include <gtest/gtest.h>
#include <limits>

using namespace page;

TEST(PageText, AmountsGroupDigitsByThreesAndKeepEveryDigit) {
    const struct {
        qint64 value;
        bool yen;
        const char* text;
    } cases[] = {
        {0, false, "0"},
        {999, false, "999"},
        {1000, false, "1,000"},
        {1234567, false, "1,234,567"},
        {1234567, true, "¥1,234,567"},
        {-1234, false, "-1,234"},
        {-1234, true, "¥-1,234"},
        {3000000000LL, false, "3,000,000,000"}, // beyond 32 bits
        {std::numeric_limits<qint64>::min(), false, "-9,223,372,036,854,775,808"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatAmount(c.value, c.yen), QString::fromUtf8(c.text)) << c.value;
}

TEST(PageText, GeneralNumberForm) {
    const struct {
        long double value;
        const char* text;
    } cases[] = {
        {2, "2"},
        {1.5L, "1.5"},
        {-0.25L, "-0.25"},
        {100, "100"},
        {0.1L, "0.1"},                           // no binary noise
        {123456789012345.0L, "123456789012345"}, // 15 integer digits: fixed
        {1234567890123456.0L, "1.23456789012346E15"},
        {0.00001L, "0.00001"},
        {0.000001L, "1E-6"},
        {1.0L / 3, "0.333333333333333"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatGeneral(c.value), QString::fromUtf8(c.text)) << c.text;
}

TEST(PageText, LongDateAndEmptyDate) {
    EXPECT_EQ(FormatLongDate(QDate(2026, 12, 10)), QString::fromUtf8("2026年12月10日"));
    EXPECT_EQ(FormatLongDate(QDate(2027, 1, 5)), QString::fromUtf8("2027年1月5日"));
    EXPECT_EQ(FormatLongDate(QDate()), QString());
}
