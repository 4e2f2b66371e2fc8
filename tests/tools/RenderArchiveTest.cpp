// ledora-render --all: every record of a data file (or of one kana row) as one PDF,
// a page each in the file's order, read back with poppler.
#include "app/RecordTestFile.h"
#include "support/PdfReadBack.h"
#include "tools/RenderTool.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace recordtest;

namespace {

class RenderArchive : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pdfread::havePoppler())
            GTEST_SKIP() << "poppler-utils not installed";
        data = dir.filePath(QStringLiteral("shop.dat"));
        // File order differs from number order and from row order.
        ASSERT_TRUE(writeRecords(data, {{3, "あ", "安藤商店"},
                                        {1, "や", "山田商店"},
                                        {2, "あ", "石川工務店"},
                                        {4, "他", "ＡＢＣ商会"}})
                        .isEmpty());
    }

    // The recipient found on each page, in page order.
    QStringList recipientsOf(const QString& pdf) const {
        const QStringList names{QString::fromUtf8("安藤商店"), QString::fromUtf8("山田商店"),
                                QString::fromUtf8("石川工務店"), QString::fromUtf8("ＡＢＣ商会")};
        QStringList found;
        for (const pdfread::Page& page : pdfread::readPages(pdf)) {
            QStringList onPage;
            for (const QString& name : names)
                if (page.text().contains(name))
                    onPage << name;
            found << onPage.join(u'+');
        }
        return found;
    }

    QTemporaryDir dir;
    QString data;
};

TEST_F(RenderArchive, EveryRecordOnePageInFileOrder) {
    const QString pdf = dir.filePath(QStringLiteral("all.pdf"));
    const ToolRun r =
        render({data, pdf, QStringLiteral("--all"), QStringLiteral("--kind"), QStringLiteral("1")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), QStringLiteral("pages=4"));
    EXPECT_EQ(pdfread::pageCount(pdf), 4);
    EXPECT_EQ(recipientsOf(pdf),
              QString::fromUtf8("安藤商店 山田商店 石川工務店 ＡＢＣ商会").split(u' '));
    for (const pdfread::Page& page : pdfread::readPages(pdf)) {
        EXPECT_NEAR(page.size.width(), 595.28, 0.5);
        EXPECT_NEAR(page.size.height(), 841.89, 0.5);
        EXPECT_TRUE(page.text().contains(QString::fromUtf8("請"))) << page.text().toStdString();
    }
}

TEST_F(RenderArchive, TabKeepsOnlyThatRowsRecords) {
    struct Case {
        const char* tab;
        const char* recipients;
    };
    const Case cases[] = {
        {"あ", "安藤商店 石川工務店"},
        {"や", "山田商店"},
        {"他", "ＡＢＣ商会"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        const QString pdf = dir.filePath(QStringLiteral("tab.pdf"));
        const ToolRun r = render({data, pdf, QStringLiteral("--all"), QStringLiteral("--tab"),
                                  QString::fromUtf8(c.tab)});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(recipientsOf(pdf), QString::fromUtf8(c.recipients).split(u' '));
    }
}

TEST_F(RenderArchive, WrongUseWritesNothing) {
    const QString pdf = dir.filePath(QStringLiteral("bad.pdf"));
    const QList<QStringList> wrong = {
        {data, pdf, "--all", "--tab", QString::fromUtf8("ん")}, // not a row head
        {data, pdf, "--tab", QString::fromUtf8("あ")},          // --tab without --all
        {data, pdf, "--all", "--record", "2"},
        {data, dir.filePath("all.png"), "--all"},
        {data, pdf, "--all", "--tab", QString::fromUtf8("か")}, // a row without records
        {dir.filePath("missing.dat"), pdf, "--all"},
    };
    for (const QStringList& args : wrong) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const ToolRun r = render(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.pdf"), QStringLiteral("*.png")}),
              QStringList());
}

} // namespace
