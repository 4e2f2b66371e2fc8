#include "app/Settings.h"

#include "platform/Cp932.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void writeBytes(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readBytes() {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString path = dir.filePath("ledora.ini");
    const QSize screen{1024, 768};
};

} // namespace

TEST_F(SettingsFile, MissingFileGivesTheDefaults) {
    const Settings s = readSettings(path, screen);
    EXPECT_EQ(s.windowTop, 0);
    EXPECT_EQ(s.windowLeft, 0);
    EXPECT_EQ(s.windowWidth, 500);
    EXPECT_EQ(s.windowHeight, 500);
    EXPECT_EQ(s.LineColor, 0x00DBC6AAu);
    EXPECT_EQ(s.FontColor, 0u);
    EXPECT_EQ(s.FontName, QStringLiteral("Tahoma"));
    EXPECT_EQ(s.FontSizeOffset, 0);
    EXPECT_TRUE(s.hintChecked);
    EXPECT_EQ(s.paperSize, 9);
    EXPECT_EQ(s.orientation, 1);
    EXPECT_EQ(s.Margin, 0);
    EXPECT_EQ(s.SenderSpaceWidth, 200);
    EXPECT_EQ(s.SenderLineHeight, 22);
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(s.History[i].isEmpty());
        EXPECT_TRUE(s.Sender[i].isEmpty());
        EXPECT_EQ(s.SenderAlign[i], 0);
    }
    EXPECT_TRUE(s.PaperName.isEmpty());
    EXPECT_EQ(s.PrintScale, 0);
    EXPECT_EQ(s.invoice, invoice::InvoiceSettings{});
    EXPECT_EQ(s.backupGenerations, 10);
}

TEST_F(SettingsFile, WindowAndSenderCorrections) {
    const struct {
        const char* file;
        QSize screen;
        int top, left, senderLineHeight;
    } cases[] = {
        {"[window]\nTop=-40\nLeft=-1\n", {1024, 768}, 0, 0, 22},
        {"[window]\nTop=700\nHeight=500\n", {1024, 768}, 268, 0, 22},
        {"[window]\nTop=660\nHeight=500\n", {1024, 768}, 660, 0, 22},
        {"[window]\nLeft=600\nWidth=500\n", {1024, 768}, 0, 524, 22},
        {"[window]\nLeft=524\nWidth=500\n", {1024, 768}, 0, 524, 22},
        // Larger than the screen: kept reachable at the top left, not pushed off it.
        {"[window]\nTop=700\nHeight=1000\nLeft=10\nWidth=2000\n", {1024, 768}, 0, 0, 22},
        {"[sender]\nsenderBL=3\n", {1024, 768}, 0, 0, 5},
        {"[sender]\nsenderBL=5\n", {1024, 768}, 0, 0, 5},
        {"[sender]\nsenderBL=abc\n", {1024, 768}, 0, 0, 22},
    };
    for (const auto& c : cases) {
        writeBytes(c.file);
        const Settings s = readSettings(path, c.screen);
        EXPECT_EQ(s.windowTop, c.top) << c.file;
        EXPECT_EQ(s.windowLeft, c.left) << c.file;
        EXPECT_EQ(s.SenderLineHeight, c.senderLineHeight) << c.file;
    }
}

TEST_F(SettingsFile, WritesEveryKeyInOrderAndReadsItBack) {
    Settings s;
    s.windowTop = 12;
    s.windowLeft = 34;
    s.windowWidth = 800;
    s.windowHeight = 600;
    s.History = {QString::fromUtf8("C:\\データ\\表.dat"), QStringLiteral("b.dat"), {}, {}, {}};
    s.SenderSpaceWidth = 210;
    s.SenderLineHeight = 18;
    s.Sender = {QString::fromUtf8("株式会社ソ表"), QStringLiteral("x"), {}, {}, {}};
    s.SenderAlign = {0, 1, 2, 0, 0};
    s.SalesTaxRate = 0.1;
    s.LineColor = 0x00DBC6AA;
    s.Margin = 15;
    s.FontColor = 0;
    s.FontName = QString::fromUtf8("ＭＳ 明朝");
    s.FontSizeOffset = -2;
    s.hintChecked = false;
    s.paperSize = 11;
    s.orientation = 2;
    s.PaperName = QStringLiteral("A5");
    s.PrintScale = 95;
    s.invoice = {true, QStringLiteral("T4011001098993"), 0.08};
    s.backupGenerations = 3;
    ASSERT_EQ(writeSettings(path, s), std::nullopt);

    const QByteArray expected = "[window]\r\nTop=12\r\nLeft=34\r\nWidth=800\r\nHeight=600\r\n\r\n"
                                "[history]\r\nhistory1=" +
                                cp932::encode(s.History[0]) +
                                "\r\nhistory2=b.dat\r\nhistory3=\r\nhistory4=\r\nhistory5=\r\n\r\n"
                                "[sender]\r\nsenderspacewidth=210\r\nsenderBL=18\r\nsender1=" +
                                cp932::encode(s.Sender[0]) +
                                "\r\nsender2=x\r\nsender3=\r\nsender4=\r\nsender5=\r\n"
                                "sender1_aline=0\r\nsender2_aline=1\r\nsender3_aline=2\r\n"
                                "sender4_aline=0\r\nsender5_aline=0\r\n\r\n"
                                "[SalesTax]\r\nSales_Tax=0.1\r\n\r\n"
                                "[View]\r\nLine_color=$00DBC6AA\r\nMargin=15\r\n\r\n"
                                "[Font]\r\nFont_color=clBlack\r\nFont_name=" +
                                cp932::encode(s.FontName) +
                                "\r\nFontSize=-2\r\n\r\n"
                                "[Hint]\r\nHintChecked=0\r\n\r\n"
                                "[Printer]\r\nPaperSize=11\r\nOrientation=2\r\nPapername=A5\r\n"
                                "PrintScale=95\r\n\r\n"
                                "[Invoice]\r\nQualified=1\r\nRegistrationNumber=T4011001098993\r\n"
                                "ReducedRate=0.08\r\n"
                                "\r\n[Backup]\r\nGenerations=3\r\n";
    EXPECT_EQ(readBytes(), expected);

    Settings back = readSettings(path, {1920, 1080});
    back.SalesTaxRate = s.SalesTaxRate; // written only
    EXPECT_EQ(back.windowTop, 12);
    EXPECT_EQ(back.History, s.History);
    EXPECT_EQ(back.Sender, s.Sender);
    EXPECT_EQ(back.SenderAlign, s.SenderAlign);
    EXPECT_EQ(back.FontName, s.FontName);
    EXPECT_EQ(back.LineColor, s.LineColor);
    EXPECT_EQ(back.FontColor, s.FontColor);
    EXPECT_FALSE(back.hintChecked);
    EXPECT_EQ(back.paperSize, 11);
    EXPECT_EQ(back.orientation, 2);
    EXPECT_EQ(back.PaperName, s.PaperName);
    EXPECT_EQ(back.PrintScale, 95);
    EXPECT_EQ(back.invoice, s.invoice);
    EXPECT_EQ(back.backupGenerations, 3);
    EXPECT_EQ(ReadSettingValue(path, QStringLiteral("Sales_Tax"), QStringLiteral("0.08")),
              QStringLiteral("0.1"));
}

TEST_F(SettingsFile, InvoiceSectionIsReadWithTheFileRules) {
    const struct {
        const char* section;
        invoice::InvoiceSettings expected;
    } cases[] = {
        {"", {false, "", 0.08}},
        {"qualified=1\r\nregistrationnumber=T7010705000725\r\nreducedrate=0.1",
         {true, "T7010705000725", 0.1}},
        // A reduced rate of 0 would print a group stating no rate, as the dialog refuses it.
        {"Qualified=0x1\r\nReducedRate=0", {true, "", 0.08}},
        {"Qualified=yes\r\nReducedRate=abc", {false, "", 0.08}},
        // Typed by hand: the plain form is kept; what is no number is dropped.
        {"RegistrationNumber=t 4011-0010-98993", {false, "T4011001098993", 0.08}},
        {"RegistrationNumber=T401100109899\r\nReducedRate=8", {false, "", 0.08}},
        {"ReducedRate=-0.08", {false, "", 0.08}},
    };
    for (const auto& c : cases) {
        writeBytes("[Printer]\r\nPaperSize=9\r\n\r\n[Invoice]\r\n" + QByteArray(c.section) +
                   "\r\n");
        EXPECT_EQ(readSettings(path, screen).invoice, c.expected) << c.section;
    }
}

// A recent path that code page 932 cannot hold would be written altered and then name a
// missing file; it is left out, and the entries after it move up.
TEST_F(SettingsFile, RecentPathsCodePage932CannotHoldAreNotWritten) {
    Settings s;
    s.History = {QString::fromUtf8("/data/Müller/a.dat"),
                 QStringLiteral("/data/b.dat"),
                 QString::fromUtf8("/data/\U0001F600.dat"),
                 QString::fromUtf8("/データ/c.dat"),
                 {}};
    ASSERT_EQ(writeSettings(path, s), std::nullopt);
    EXPECT_TRUE(readBytes().contains("[history]\r\nhistory1=/data/b.dat\r\nhistory2=" +
                                     cp932::encode(QString::fromUtf8("/データ/c.dat")) +
                                     "\r\nhistory3=\r\nhistory4=\r\nhistory5=\r\n"))
        << readBytes().constData();
    EXPECT_EQ(readSettings(path, screen).History,
              (decltype(s.History){
                  QStringLiteral("/data/b.dat"), QString::fromUtf8("/データ/c.dat"), {}, {}, {}}));
}

TEST_F(SettingsFile, RewriteKeepsHandAddedKeysAndReplacesValuesInPlace) {
    writeBytes("[Font]\r\nfont_NAME=Arial\r\nMine=1\r\n\r\n[window]\r\nTOP=5\r\n");
    Settings s;
    s.windowTop = 7;
    ASSERT_EQ(writeSettings(path, s), std::nullopt);
    const QByteArray bytes = readBytes();
    EXPECT_TRUE(bytes.startsWith("[Font]\r\nfont_NAME=Tahoma\r\nMine=1\r\nFont_color=clBlack\r\n"
                                 "FontSize=0\r\n\r\n[window]\r\nTOP=7\r\nLeft=0\r\n"))
        << bytes.constData();
}

TEST_F(SettingsFile, UnwritableFileReportsItsPathAndKeepsTheOldFile) {
    // A path below a regular file cannot be created by anyone, even an administrator.
    writeBytes("[window]\r\nTop=5\r\n");
    const QString below = path + QStringLiteral("/sub.ini");
    EXPECT_EQ(writeSettings(below, Settings{}), below + QString::fromUtf8(" に書き込めません"));

    // A read-only file is left as it was.
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner));
    Settings s;
    s.windowTop = 99;
    EXPECT_EQ(writeSettings(path, s), path + QString::fromUtf8(" に書き込めません"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readBytes(), QByteArray("[window]\r\nTop=5\r\n"));
}

TEST_F(SettingsFile, ReadSettingValueTakesTheFirstPlainLine) {
    const QString name = QStringLiteral("Sales_Tax");
    const QString fallback = QStringLiteral("0.08");
    EXPECT_EQ(ReadSettingValue(path, name, fallback), fallback) << "missing file";

    const struct {
        const char* file;
        const char* value;
    } cases[] = {
        {"[SalesTax]\r\nSales_Tax=0.1\r\n", "0.1"},
        {"[Other]\nsales_tax=0.05\n[SalesTax]\nSales_Tax=0.1\n", "0.05"},
        {"[SalesTax]\r\nSales_Tax=\r\n", "0.08"},
        {"[SalesTax]\r\nSales_Tax=\r\nSales_Tax=0.1\r\n", "0.08"},
        {"[SalesTax]\r\nSales_Tax =0.1\r\n", "0.08"},
        {"[SalesTax]\r\n", "0.08"},
        {"Sales_Tax=a=b\r\n", "a=b"},
    };
    for (const auto& c : cases) {
        writeBytes(c.file);
        EXPECT_EQ(ReadSettingValue(path, name, fallback), QString::fromUtf8(c.value)) << c.file;
    }
}

TEST(SettingsPath, ReplacesTheExtensionOrAppendsOne) {
    EXPECT_EQ(settingsPathFor("C:/Program Files/Ledora/Ledora.exe"),
              QStringLiteral("C:/Program Files/Ledora/Ledora.ini"));
    EXPECT_EQ(settingsPathFor("/opt/led.ora/bin/ledora"),
              QStringLiteral("/opt/led.ora/bin/ledora.ini"));
    EXPECT_EQ(settingsPathFor("/opt/a.b.exe"), QStringLiteral("/opt/a.b.ini"));
}

TEST(SettingsPath, ProgramInAFolderItCannotWriteKeepsItsSettingsInTheConfigFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("bin")));
    const QString bin = dir.filePath(QStringLiteral("bin"));
    const QString exe = bin + QStringLiteral("/ledora");
    const QString config = dir.filePath(QStringLiteral("config/Ledora"));

    // A portable copy in a writable folder keeps its file beside it.
    EXPECT_EQ(settingsPathFor(exe, config), bin + QStringLiteral("/ledora.ini"));

    ASSERT_TRUE(QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner));
    const QString path = settingsPathFor(exe, config);
    QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(path, config + QStringLiteral("/ledora.ini"));

    // Written there (the folder made on the first write) and read by the same rules.
    Settings s;
    s.windowTop = 42;
    s.SalesTaxRate = 0.1;
    ASSERT_EQ(writeSettings(path, s), std::nullopt);
    EXPECT_EQ(readSettings(path, QSize(1920, 1080)).windowTop, 42);
    EXPECT_EQ(ReadSettingValue(path, QStringLiteral("Sales_Tax"), QStringLiteral("0.08")),
              QStringLiteral("0.1"));
}
