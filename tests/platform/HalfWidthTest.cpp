#include "platform/HalfWidth.h"

#include <gtest/gtest.h>

TEST(HalfWidth, MapsFullWidthFormsAndLeavesTheRest) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"１２３", "123"},
        {"ＡＢｃ", "ABc"},
        {"－，．（）", "-,.()"},
        {"a　b", "a b"},
        {"カタカナ", "ｶﾀｶﾅ"},
        {"ガパー", "ｶﾞﾊﾟｰ"},
        {"ひらがな漢字", "ひらがな漢字"},
        {"abc 12", "abc 12"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toHalfWidth(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
    }
}
