#include "platform/ProfileFile.h"
#include "platform/Cp932.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray kFile = "[window]\r\n"
                         "Top=10\r\n"
                         "  Left  =  20  \r\n"
                         "\r\n"
                         "[Font]\r\n"
                         "Font_name=Tahoma\r\n";

} // namespace

TEST(ProfileFile, FindsSectionsAndKeysWithoutRegardToCase) {
    const auto p = ProfileFile::fromBytes(kFile);
    EXPECT_EQ(p.value("WINDOW", "top"), QByteArray("10"));
    EXPECT_EQ(p.value("window", "LEFT"), QByteArray("20")) << "blanks around key and value";
    EXPECT_EQ(p.value("font", "FONT_NAME"), QByteArray("Tahoma"));
    EXPECT_EQ(p.value("Font", "Top"), std::nullopt) << "keys belong to their section";
    EXPECT_EQ(p.value("nowhere", "Top"), std::nullopt);
    EXPECT_EQ(p.readString("window", "Width", "500"), QByteArray("500"));
}

TEST(ProfileFile, DoubleByteNamesFoldOnlyAsciiLetters) {
    // 0x83 0x41 is "ア"; its trail byte "A" must not match "a".
    const QByteArray key = cp932::encode(QString::fromUtf8("ア"));
    QByteArray lowered = key;
    lowered[1] = 'a';
    const auto p = ProfileFile::fromBytes("[s]\r\n" + key + "=1\r\n");
    EXPECT_EQ(p.value("S", key), QByteArray("1"));
    EXPECT_EQ(p.value("s", lowered), std::nullopt);
}

TEST(ProfileFile, WritesInPlaceAppendToSectionAndAddSectionsAtTheEnd) {
    auto p = ProfileFile::fromBytes(kFile);
    p.writeString("WINDOW", "TOP", "99");       // in place, key keeps its spelling
    p.writeString("window", "Width", "500");    // after the section's last key
    p.writeString("Printer", "PaperSize", "9"); // new section at the end
    p.writeString("font", "FontSize", "0");
    EXPECT_EQ(p.toBytes(), QByteArray("[window]\r\n"
                                      "Top=99\r\n"
                                      "  Left  =  20  \r\n" // other lines kept as they are
                                      "Width=500\r\n"
                                      "\r\n"
                                      "[Font]\r\n"
                                      "Font_name=Tahoma\r\n"
                                      "FontSize=0\r\n"
                                      "\r\n"
                                      "[Printer]\r\n"
                                      "PaperSize=9\r\n"));
}

TEST(ProfileFile, ReadsLfAndCrLineEnds) {
    const auto p = ProfileFile::fromBytes("[a]\nx=1\r[b]\r\ny=2");
    EXPECT_EQ(p.value("a", "x"), QByteArray("1"));
    EXPECT_EQ(p.value("b", "y"), QByteArray("2"));
}

TEST(ProfileFile, TextValuesRoundTripIncludingBlanksQuotesAndLineBreaks) {
    const QList<QString> values = {
        QString::fromUtf8("株式会社ソ表"), // trail bytes 0x5C
        QStringLiteral("  indented  "),    QStringLiteral("\"quoted\""),
        QStringLiteral("'single'"),        QString(),
    };
    ProfileFile p;
    for (qsizetype i = 0; i < values.size(); ++i) {
        p.writeText("sender", "sender" + QByteArray::number(i), values[i]);
    }
    p.writeText("sender", "broken", QStringLiteral("a\r\n[x]\nb"));
    const auto back = ProfileFile::fromBytes(p.toBytes());
    for (qsizetype i = 0; i < values.size(); ++i) {
        EXPECT_EQ(back.readText("sender", "sender" + QByteArray::number(i), "-"), values[i]);
    }
    // A line break cannot be stored; it must not start a new line or section.
    EXPECT_EQ(back.readText("sender", "broken", "-"), QStringLiteral("a  [x] b"));
    EXPECT_EQ(back.value("x", "b"), std::nullopt);
}

TEST(ProfileFile, ValuesAreCutTo2047BytesWithoutSplittingACharacter) {
    const QByteArray ascii(3000, 'a');
    const QByteArray kanji = QByteArray(2046, 'b') + cp932::encode(QString::fromUtf8("表"));
    const auto p = ProfileFile::fromBytes("[s]\r\na=" + ascii + "\r\nk=" + kanji + "\r\n");
    EXPECT_EQ(p.value("s", "a")->size(), 2047);
    EXPECT_EQ(p.value("s", "k"), QByteArray(2046, 'b'));
}

TEST(ProfileFile, TypedReadingsFallBackToTheDefault) {
    const auto p = ProfileFile::fromBytes("[v]\r\n"
                                          "hex=$1F\r\n"
                                          "word=abc\r\n"
                                          "empty=\r\n"
                                          "on=2\r\n"
                                          "off=0\r\n"
                                          "rate=0.1\r\n"
                                          "color=clscrollbar\r\n"
                                          "rgb=$00DBC6AA\r\n"
                                          "decimal=255\r\n");
    EXPECT_EQ(p.readInteger("v", "hex", 7), 31);
    EXPECT_EQ(p.readInteger("v", "word", 7), 7);
    EXPECT_EQ(p.readInteger("v", "empty", 7), 7);
    EXPECT_EQ(p.readInteger("v", "missing", 7), 7);
    EXPECT_TRUE(p.readBool("v", "on", false));
    EXPECT_FALSE(p.readBool("v", "off", true));
    EXPECT_TRUE(p.readBool("v", "word", true));
    EXPECT_FALSE(p.readBool("v", "word", false));
    EXPECT_DOUBLE_EQ(p.readReal("v", "rate", 0.08), 0.1);
    EXPECT_DOUBLE_EQ(p.readReal("v", "word", 0.08), 0.08);
    EXPECT_EQ(p.readColor("v", "color", 1), 0xFF000000u);
    EXPECT_EQ(p.readColor("v", "rgb", 1), 0x00DBC6AAu);
    EXPECT_EQ(p.readColor("v", "decimal", 1), 255u);
    EXPECT_EQ(p.readColor("v", "word", 1), 1u);
}

TEST(ProfileFile, SaveReplacesTheFileAndLoadTreatsMissingAsEmpty) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("a.ini");
    ProfileFile p;
    EXPECT_TRUE(p.load(path));
    EXPECT_TRUE(p.toBytes().isEmpty());
    p.writeInteger("window", "Top", 5);
    ASSERT_TRUE(p.save(path));
    ProfileFile q;
    ASSERT_TRUE(q.load(path));
    EXPECT_EQ(q.readInteger("window", "top", 0), 5);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.ini"}) << "no temp left";
}

TEST(ProfileFile, ReadOnlyFileIsNotReplaced) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("a.ini");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[a]\r\nx=1\r\n");
    f.close();
    ASSERT_TRUE(f.setPermissions(QFile::ReadOwner));
    ProfileFile p;
    ASSERT_TRUE(p.load(path));
    p.writeInteger("a", "x", 2);
    EXPECT_FALSE(p.save(path));
    ProfileFile q;
    ASSERT_TRUE(q.load(path));
    EXPECT_EQ(q.readInteger("a", "x", 0), 1);
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}
