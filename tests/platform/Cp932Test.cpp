#include "platform/Cp932.h"

#include <gtest/gtest.h>

TEST(Cp932, MapsTheCodePageNotJisShiftJis) {
    EXPECT_EQ(cp932::encode(QString::fromUtf8("～－")), QByteArray("\x81\x60\x81\x7C"));
    EXPECT_EQ(cp932::encode(QString::fromUtf8("表ｱ")), QByteArray("\x95\x5C\xB1"));
    EXPECT_EQ(cp932::decode(QByteArray("\x95\x5C\xB1")), QString::fromUtf8("表ｱ"));
}

TEST(Cp932, BestFitThenQuestionMark) {
    EXPECT_EQ(cp932::encode(QString::fromUtf8("¥1")), QByteArray("\x5C"
                                                                 "1"));
    EXPECT_EQ(cp932::encode(QString::fromUtf8("a😀b")), QByteArray("a?b"));
}

TEST(Cp932, CutNeverSplitsADoubleByteCharacter) {
    const QByteArray text = cp932::encode(QString::fromUtf8("aあい"));
    ASSERT_EQ(text.size(), 5);
    EXPECT_EQ(cp932::cutToWidth(text, 5), text);
    EXPECT_EQ(cp932::cutToWidth(text, 4), text.left(3));
    EXPECT_EQ(cp932::cutToWidth(text, 2), text.left(1));
    EXPECT_EQ(cp932::cutToWidth(text, 0), QByteArray());
}

TEST(Cp932, ShownTextHasTheYenSignAndWritesBackAsTheSameBytes) {
    // Lone 0x5C is the yen sign; 0x5C as the trail byte of "表" or "ソ" stays part of it.
    const QByteArray bytes("\x5C"
                           "500\x95\x5C\x83\x5C");
    EXPECT_EQ(cp932::decodeShown(bytes), QString::fromUtf8("¥500表ソ"));
    EXPECT_EQ(cp932::encode(cp932::decodeShown(bytes)), bytes);
    EXPECT_EQ(cp932::decode(QByteArray("\x5C")), QStringLiteral("\\"));
}
