// ledora-render follows the settings file it is given: with the qualified-invoice mode on,
// the PDF of the mixed document carries the number, both rates' rows and the footnote.
#include "app/RecordTestFile.h"
#include "support/PdfReadBack.h"
#include "tools/RenderTool.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace recordtest;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The top of the first word that is `text`, in points; -1 when it is not on the page.
double topOf(const pdfread::Page& page, const QString& text) {
    for (const pdfread::Word& w : page.words)
        if (w.text == text)
            return w.box.top();
    return -1;
}

class QualifiedRender : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pdfread::havePoppler())
            GTEST_SKIP() << "poppler-utils not installed";
        data = dir.filePath(QStringLiteral("shop.dat"));
        const QByteArray sum = sj("品目・仕様,数量,単位,単価,金額,備考\r\n"
                                  "※米,2,袋,2480,,\r\n※お茶,3,本,298,,\r\n"
                                  "洗剤,2,個,398,,\r\n配送料,,,500,,\r\n");
        ASSERT_TRUE(writeRecords(data, {Rec{1, "や", "山田商店", true,
                                            [&](Dataset& d) {
                                                d.setText("Sum", sum);
                                                d.setFloat("SalesTax", 0.1);
                                            }}})
                        .isEmpty());
    }

    QString settingsFile(const QByteArray& invoiceSection) {
        const QString path = dir.filePath(QStringLiteral("ledora.ini"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[sender]\r\nsender1=" + sj("山田屋") + "\r\n\r\n[Invoice]\r\n" + invoiceSection);
        return path;
    }

    QTemporaryDir dir;
    QString data;
};

} // namespace

TEST_F(QualifiedRender, MixedDocumentPdfCarriesNumberRatesAndFootnote) {
    const QString pdf = dir.filePath(QStringLiteral("mixed.pdf"));
    const QString ini =
        settingsFile("Qualified=1\r\nRegistrationNumber=T4011001098993\r\nReducedRate=0.08\r\n");
    const ToolRun r = render({data, pdf, QStringLiteral("--kind"), QStringLiteral("1"),
                              QStringLiteral("--settings"), ini});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), QStringLiteral("subtotal=7150 tax=597 total=7747"));

    const QList<pdfread::Page> pages = pdfread::readPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    const pdfread::Page& page = pages.first();
    const QString text = page.text();
    for (const char* expected : {"登録番号 T4011001098993", "※は軽減税率対象品目"})
        EXPECT_TRUE(text.contains(u(expected))) << expected << "\n" << text.toStdString();
    // Each row's label with its figure beside it.
    const std::pair<const char*, const char*> rows[] = {{"10%対象", "1,296"},
                                                        {"消費税（10%）", "129"},
                                                        {"※8%対象", "5,854"},
                                                        {"消費税（8%）", "468"},
                                                        {"計", "7,747"}};
    for (auto [label, figure] : rows) {
        const double top = topOf(page, u(label));
        EXPECT_GT(top, 0) << label;
        EXPECT_NEAR(topOf(page, u(figure)), top, 3.0) << label << " " << figure;
    }

    // Top to bottom: the number above the table, the standard rate before the reduced
    // one, the footnote under them.
    const double number = topOf(page, QStringLiteral("T4011001098993"));
    const double standard = topOf(page, u("10%対象"));
    const double reduced = topOf(page, u("※8%対象"));
    const double footnote = topOf(page, u("※は軽減税率対象品目"));
    EXPECT_GT(number, 0);
    EXPECT_LT(number, standard);
    EXPECT_LT(standard, reduced);
    EXPECT_LT(reduced, footnote);
}

TEST_F(QualifiedRender, ModeOffInTheSettingsPrintsThePlainForm) {
    const QString pdf = dir.filePath(QStringLiteral("plain.pdf"));
    const QString ini = settingsFile("Qualified=0\r\nRegistrationNumber=T4011001098993\r\n");
    const ToolRun r = render({data, pdf, QStringLiteral("--settings"), ini});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), QStringLiteral("subtotal=7150 tax=715 total=7865"));
    const QString text = pdfread::readPages(pdf).value(0).text();
    EXPECT_TRUE(text.contains(u("※米"))) << text.toStdString();
    EXPECT_FALSE(text.contains(u("登録番号"))) << text.toStdString();
    EXPECT_FALSE(text.contains(u("対象"))) << text.toStdString();
}
