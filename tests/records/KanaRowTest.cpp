#include "records/KanaRow.h"

#include "RecordsTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct RowCase {
    const char* text;
    const char* head;
};

class KanaRowOfText : public testing::TestWithParam<RowCase> {};

TEST_P(KanaRowOfText, GivesTheHeadOfTheFirstCharacter) {
    EXPECT_EQ(KanaRowOf(sjis(GetParam().text)), sjis(GetParam().head)) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Edges, KanaRowOfText,
    testing::Values(RowCase{"やまだ", "や"}, RowCase{"ヤマダ", "や"}, RowCase{"ﾔﾏﾀﾞ", "や"},
                    RowCase{"ゃ", "や"}, RowCase{"ｮ", "や"}, RowCase{"がっこう", "か"},
                    RowCase{"ヵ", "か"}, RowCase{"ヶ", "か"}, RowCase{"っ", "た"},
                    RowCase{"ｯ", "た"}, RowCase{"ヂ", "た"}, RowCase{"ぱん", "は"},
                    RowCase{"ポ", "は"}, RowCase{"ぁ", "あ"}, RowCase{"ｫ", "あ"},
                    RowCase{"ゎ", "わ"}, RowCase{"ヮ", "わ"}, RowCase{"ｦ", "わ"},
                    RowCase{"ん", "わ"}, RowCase{"ｱ山", "あ"}, RowCase{"ヴ", "他"},
                    RowCase{"ゐ", "他"}, RowCase{"ゑ", "他"}, RowCase{"ﾞ", "他"},
                    RowCase{"ﾟ", "他"}, RowCase{"山田", "他"}, RowCase{"Yamada", "他"},
                    RowCase{"1", "他"}, RowCase{"　あ", "他"}, RowCase{"", "他"}));

// Each set's characters file under its head, and the sets have the documented sizes,
// so a slip in the table shows up here.
TEST(KanaRowOf, EveryCharacterOfEachSetGivesItsHead) {
    struct Set {
        const char* chars;
        const char* head;
        int count;
        int bytes;
    };
    const Set sets[] = {
        {"あいうえおアイウエオｱｲｳｴｵぁぃぅぇぉァィゥェォｧｨｩｪｫ", "あ", 30, 50},
        {"かきくけこカキクケコｶｷｸｹｺヵヶがぎぐげごガギグゲゴ", "か", 27, 49},
        {"さしすせそサシスセソｻｼｽｾｿざじずぜぞザジズゼゾ", "さ", 25, 45},
        {"たちつてとタチツテトﾀﾁﾂﾃﾄだぢづでどダヂヅデドっッｯ", "た", 28, 50},
        {"なにぬねのナニヌネノﾅﾆﾇﾈﾉ", "な", 15, 25},
        {"はひふへほハヒフヘホﾊﾋﾌﾍﾎばびぶべぼバビブベボぱぴぷぺぽパピプペポ", "は", 35, 65},
        {"まみむめもマミムメモﾏﾐﾑﾒﾓ", "ま", 15, 25},
        {"やゆよヤユヨﾔﾕﾖゃゅょャュョｬｭｮ", "や", 18, 30},
        {"らりるれろラリルレロﾗﾘﾙﾚﾛ", "ら", 15, 25},
        {"わをんワヲンﾜｦﾝゎヮ", "わ", 11, 19},
    };
    for (const Set& set : sets) {
        const QString chars = QString::fromUtf8(set.chars);
        EXPECT_EQ(chars.size(), set.count) << set.head;
        EXPECT_EQ(cp932::encode(chars).size(), set.bytes) << set.head;
        for (const QChar c : chars)
            EXPECT_EQ(KanaRowOf(cp932::encode(QString(c))), sjis(set.head))
                << QString(c).toStdString();
    }
}

// Matching is by whole characters: a single byte that occurs inside a double-byte
// character of a set (0xA0 is the trail byte of あ) is no member.
TEST(KanaRowOf, ASingleByteNeverMatchesInsideADoubleByteCharacter) {
    EXPECT_EQ(KanaRowOf(QByteArray("\xA0")), sjis("他"));
    EXPECT_EQ(KanaRowOf(QByteArray("\xA0"
                                   "abc")),
              sjis("他"));
    EXPECT_EQ(KanaRowOf(QByteArray("\x82")), sjis("他")); // lone lead byte at the end
    EXPECT_EQ(KanaRowOf(QByteArray("\xBD")), sjis("さ")); // ｽ itself
}

} // namespace

namespace {

// Which text files a name typed on the page: the name, or the reading of the composition
// that typed it.
TEST(NameRowText, TakesTheReadingOnlyForADoubleByteStartTypedByThatComposition) {
    struct Case {
        const char* name;
        const char* reading;
        const char* committed;
        const char* expected;
    };
    const Case cases[] = {
        {"山田", "やまだ", "山田", "やまだ"},
        {"山田太郎", "やまだ", "山田", "やまだ"},
        {"a山", "やま", "a山", "やま"}, // the second character is double-byte
        {"ab山", "やま", "山", "ab山"},
        {"a", "やま", "山", "a"},
        {"", "やま", "山", ""},
        {"わたなべ", "やまだ", "山田", "わたなべ"}, // pasted after another composition
        {"山田", "", "山田", "山田"},               // the input method gave no reading
        {"ｱｲ", "", "", "ｱｲ"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NameRowText(sjis(c.name), sjis(c.reading), sjis(c.committed)), sjis(c.expected))
            << c.name;
}

} // namespace
