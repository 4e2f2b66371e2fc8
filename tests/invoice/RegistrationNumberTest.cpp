// The registration number as typed: read leniently, stored plainly, refused with a reason,
// and the check digit of corporate numbers only warned about.
#include "invoice/RegistrationNumber.h"

#include <gtest/gtest.h>

using invoice::RegistrationNumberReading;

namespace {

struct ReadingCase {
    const char* typed;
    RegistrationNumberReading::Status status;
    const char* number;
    bool checkDigitMatches;
};

} // namespace

TEST(RegistrationNumber, ReadsLenientlyAndKeepsThePlainForm) {
    using S = RegistrationNumberReading;
    const ReadingCase cases[] = {
        {"T4011001098993", S::Valid, "T4011001098993", true},
        {"T7010705000725", S::Valid, "T7010705000725", true},
        {"ｔ４０１１－００１０－９８９９３", S::Valid, "T4011001098993", true},
        {" t 4011 0010 98993 ", S::Valid, "T4011001098993", true},
        {"4011-001-098-993", S::Valid, "T4011001098993", true},
        {"Ｔ4011ー0010ー98993", S::Valid, "T4011001098993", true},
        {"T1234567890123", S::Valid, "T1234567890123", false},
        {"", S::Empty, "", false},
        {"　- ", S::Empty, "", false},
    };
    for (const ReadingCase& c : cases) {
        const RegistrationNumberReading r =
            invoice::ReadRegistrationNumber(QString::fromUtf8(c.typed));
        EXPECT_EQ(r.status, c.status) << c.typed;
        EXPECT_EQ(r.number, QString::fromLatin1(c.number)) << c.typed;
        EXPECT_EQ(r.checkDigitMatches, c.checkDigitMatches) << c.typed;
        EXPECT_TRUE(invoice::RefusalMessage(r).isEmpty()) << c.typed;
    }
}

TEST(RegistrationNumber, RefusesWhatIsNoNumberSayingWhy) {
    using S = RegistrationNumberReading;
    const std::pair<const char*, S::Status> cases[] = {
        {"T401100109899", S::WrongLength},
        {"T40110010989931", S::WrongLength},
        {"T", S::WrongLength},
        {"T0011001098993", S::LeadingZero},
        {"TT4011001098993", S::BadCharacter},
        {"T40110010989A3", S::BadCharacter},
        {"4011001098993T", S::BadCharacter},
        {"T4011001098993.", S::BadCharacter},
    };
    for (auto [typed, status] : cases) {
        const RegistrationNumberReading r =
            invoice::ReadRegistrationNumber(QString::fromUtf8(typed));
        EXPECT_EQ(r.status, status) << typed;
        EXPECT_TRUE(r.number.isEmpty()) << typed;
    }
    const auto message = [](const char* typed) {
        return invoice::RefusalMessage(invoice::ReadRegistrationNumber(QString::fromUtf8(typed)));
    };
    EXPECT_EQ(message("T401100109899"),
              QString::fromUtf8(
                  "登録番号の数字が12桁です。\n\rT に続けて13桁の数字を入力してください。"));
    EXPECT_EQ(message("T0011001098993"),
              QString::fromUtf8("登録番号の数字は 0 で始まりません。\n\r番号を確かめてください。"));
    EXPECT_EQ(
        message("T40110010989A3"),
        QString::fromUtf8(
            "登録番号に使えない文字「A」があります。\n\rT に続けて13桁の数字を入力してください。"));
    // A character beyond the basic plane is named whole, not as half of its surrogate pair.
    for (const char* typed : {"T4011𠮷", "𠮷", "T4011😀0"}) {
        const RegistrationNumberReading r =
            invoice::ReadRegistrationNumber(QString::fromUtf8(typed));
        const QString bad = QString::fromUtf8(QByteArray(typed).contains("𠮷") ? "𠮷" : "😀");
        EXPECT_EQ(r.badCharacter, bad) << typed;
        EXPECT_TRUE(message(typed).startsWith(QString::fromUtf8("登録番号に使えない文字「") + bad +
                                              QString::fromUtf8("」")))
            << typed;
    }
}

TEST(RegistrationNumber, CheckDigitFollowsTheCorporateNumberRule) {
    const std::pair<const char*, int> cases[] = {
        {"011001098993", 4}, {"010705000725", 7}, {"234567890123", 9},  {"000000000000", 9},
        {"000000000001", 8}, {"000000000010", 7}, {"00000000001x", -1}, {"01100109899", -1}};
    for (auto [digits, check] : cases)
        EXPECT_EQ(invoice::CorporateCheckDigit(QString::fromLatin1(digits)), check) << digits;
    const RegistrationNumberReading r = invoice::ReadRegistrationNumber(u"T1234567890123");
    EXPECT_EQ(
        invoice::CheckDigitWarning(r),
        QString::fromUtf8("登録番号 T1234567890123 は法人番号のチェックデジットと合いません。\n\r"
                          "個人事業者の番号であれば、このまま使えます。この番号を使いますか？"));
}
