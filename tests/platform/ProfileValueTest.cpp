#include "platform/ProfileValue.h"
#include "platform/ColorNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using colornames::ColorValue;

TEST(ProfileValue, IntegerReadings) {
    const struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"0", 0},
        {"-40", -40},
        {"+7", 7},
        {"  12", 12},
        {"$1F", 31},
        {"$ff", 255},
        {"0x10", 16},
        {"0X10", 16},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"$FF000000", static_cast<int>(0xFF000000u)},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<int>::min()},
        {"2147483648", std::nullopt},
        {"$100000000", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"12a", std::nullopt},
        {"1.5", std::nullopt},
        {"abc", std::nullopt},
        {"0xG", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(profilevalue::readInteger(c.text), c.value) << c.text;
    }
}

TEST(ProfileValue, RealWritesInGeneralFormAndReadsBack) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.08, "0.08"},
        {0.1, "0.1"},
        {0.0, "0"},
        {-0.0, "0"},
        {10.0, "10"},
        {1.0 / 3.0, "0.333333333333333"},
        {123456.75, "123456.75"},
        {-2.5, "-2.5"},
        {0.00001, "0.00001"},
        {0.000001, "1E-6"},
        {1.5e20, "1.5E20"},
        {999999999999999.0, "999999999999999"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(profilevalue::writeReal(c.value), QByteArray(c.text)) << c.text;
        const auto back = profilevalue::readReal(c.text);
        ASSERT_TRUE(back) << c.text;
        EXPECT_NEAR(*back, c.value, std::abs(c.value) * 1e-14) << c.text;
    }
}

TEST(ProfileValue, RealReadingRejectsWhatIsNotANumber) {
    for (const char* text : {"", "abc", "0,08", "1e", ".", "-", "1.2.3", "NAN", "INF", "1e999"}) {
        EXPECT_EQ(profilevalue::readReal(text), std::nullopt) << text;
    }
    EXPECT_EQ(profilevalue::readReal(" 8 "), 8.0);
    EXPECT_EQ(profilevalue::readReal(".5"), 0.5);
    EXPECT_EQ(profilevalue::readReal("1E2"), 100.0);
}

TEST(ColorNames, WritesNamesOrEightHexDigitsAndReadsThemBack) {
    const struct {
        ColorValue value;
        const char* text;
    } cases[] = {
        {0x00000000, "clBlack"},   {0x00A4A0A0, "clMedGray"},   {0x00DBC6AA, "$00DBC6AA"},
        {0x00000001, "$00000001"}, {0xFF000000, "clScrollBar"}, {0xFF00001E, "clMenuBar"},
        {0xFF000019, "$FF000019"}, // index 25 has no name
        {0x1FFFFFFF, "clNone"},    {0x20000000, "clDefault"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(colornames::colorToText(c.value), QByteArray(c.text)) << c.text;
        EXPECT_EQ(colornames::colorFromText(c.text), c.value) << c.text;
    }
}

TEST(ColorNames, ReadsNamesWithoutRegardToCaseAndNumbers) {
    EXPECT_EQ(colornames::colorFromText("clscrollbar"), 0xFF000000u);
    EXPECT_EQ(colornames::colorFromText("CLRED"), 0x000000FFu);
    EXPECT_EQ(colornames::colorFromText("cl3ddkshadow"), 0xFF000015u);
    EXPECT_EQ(colornames::colorFromText("255"), 255u);
    EXPECT_EQ(colornames::colorFromText("0xff"), 255u);
    EXPECT_EQ(colornames::colorFromText("clPink"), std::nullopt);
    EXPECT_EQ(colornames::colorFromText(""), std::nullopt);
}
