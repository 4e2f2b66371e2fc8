// Printing for real: the stand-in PDF printer, printPageToPdf and a CUPS queue, each
// read back with poppler's tools.
#include "page/PageSize.h"
#include "page/PrintPage.h"
#include "platform/PrinterDeviceQt.h"
#include "platform/PrinterPaper.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <tuple>

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct PdfFacts {
    int pages = 0;
    QSizeF pointSize;
    QString text;
};

PdfFacts readPdf(const QString& file) {
    PdfFacts f;
    const QString info = run("pdfinfo", {file});
    const auto pages = QRegularExpression(R"(Pages:\s+(\d+))").match(info);
    if (pages.hasMatch())
        f.pages = pages.captured(1).toInt();
    const auto size = QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)").match(info);
    if (size.hasMatch())
        f.pointSize = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    f.text = run("pdftotext", {file, "-"});
    return f;
}

const QString kSample = QStringLiteral("御見積書 Ledora");

// A page as the renderer would draw it: text in a pixel-sized font and a frame.
PageDrawFn samplePage(QSize page) {
    return [page](QPainter& p) {
        QFont font(QStringLiteral("IPAGothic"));
        font.setPixelSize(21);
        p.setFont(font);
        p.drawText(QPoint(100, 100), kSample);
        p.drawRect(QRect(QPoint(0, 0), page).adjusted(10, 10, -10, -10));
    };
}

// Left edge in points of the first word pdftotext finds; its glyphs need not map to text.
double firstWordLeft(const QString& file) {
    const QString bbox = run("pdftotext", {"-bbox", file, "-"});
    const auto word = QRegularExpression(R"re(<word xMin="([\d.]+)")re").match(bbox);
    return word.hasMatch() ? word.captured(1).toDouble() : -1;
}

bool havePoppler() {
    return !run("pdfinfo", {"-v"}).isNull() || QFileInfo::exists("/usr/bin/pdfinfo");
}

TEST(PdfPrinter, StandInIsA4PortraitWithAPlausiblePrintableArea) {
    auto device = PrinterDeviceQt::createPdf();
    const PrinterCaps c = device->caps();
    EXPECT_EQ(c.horzSize, 200);
    EXPECT_EQ(c.vertSize, 287);
    EXPECT_EQ(c.physicalWidth, 4958);  // 595 pt at 600 dpi
    EXPECT_EQ(c.physicalOffsetX, 117); // 5 mm
    EXPECT_EQ(c.physicalOffsetY, 117);
    EXPECT_EQ(c.horzRes, 4724);
    EXPECT_EQ(c.vertRes, 6783);
    EXPECT_EQ(device->paperCode(), 9);
    EXPECT_EQ(device->orientation(), 1);
    EXPECT_EQ(device->formName(), "A4");
    EXPECT_TRUE(device->writesFile());
    EXPECT_EQ(device->printerNames().value(device->printerIndex()), device->printerName());
    EXPECT_EQ(pdfPageSize(), QSize(600, 861));
}

TEST(PdfPrinter, StartUpPaperIsAppliedAndUnknownValuesKeepTheDefault) {
    auto device = PrinterDeviceQt::createPdf();
    EXPECT_TRUE(device->applyPaper(13, 2)); // JIS B5 landscape
    EXPECT_EQ(device->paperCode(), 13);
    EXPECT_EQ(device->orientation(), 2);
    EXPECT_EQ(device->caps().horzSize, 247);

    auto fresh = PrinterDeviceQt::createPdf();
    EXPECT_FALSE(fresh->applyPaper(9999, 7));
    EXPECT_EQ(fresh->paperCode(), 9);
    EXPECT_EQ(fresh->orientation(), 1);

    EXPECT_EQ(paperCodeForPageSize(pageSizeForPaperCode(1)), 1);   // Letter
    EXPECT_EQ(paperCodeForPageSize(pageSizeForPaperCode(8)), 8);   // A3
    EXPECT_EQ(paperCodeForPageSize(pageSizeForPaperCode(11)), 11); // A5
    EXPECT_FALSE(pageSizeForPaperCode(0).isValid());
    EXPECT_EQ(paperCodeForPageSize(QPageSize(QSizeF(100, 100), QPageSize::Millimeter)),
              kPaperCodeUser);
}

// The stand-in makes its QPrinter only when it prints; before that it must give exactly the
// figures that printer will have, on every paper it can be given.
TEST(PdfPrinter, StandInGivesTheSameFiguresBeforeAndAfterItsPrinterIsMade) {
    const std::pair<int, int> papers[] = {{9, 1}, {9, 2}, {13, 2}, {8, 1}, {1, 2}, {11, 1},
                                          {9999, 2}, {13, 7}};
    for (const auto& [code, orientation] : papers) {
        auto device = PrinterDeviceQt::createPdf();
        const bool took = device->applyPaper(code, orientation);
        const PrinterCaps before = device->caps();
        const int paperBefore = device->paperCode();
        const int orientationBefore = device->orientation();
        const QString formBefore = device->formName();

        auto made = PrinterDeviceQt::createPdf();
        made->qprinter(); // made first, then given the paper through Qt's own engine
        EXPECT_EQ(made->applyPaper(code, orientation), took) << code << "/" << orientation;
        const PrinterCaps after = made->caps();
        EXPECT_EQ(std::tuple(before.horzSize, before.vertSize, before.horzRes, before.vertRes,
                             before.physicalWidth, before.physicalHeight, before.physicalOffsetX,
                             before.physicalOffsetY),
                  std::tuple(after.horzSize, after.vertSize, after.horzRes, after.vertRes,
                             after.physicalWidth, after.physicalHeight, after.physicalOffsetX,
                             after.physicalOffsetY))
            << code << "/" << orientation;
        EXPECT_EQ(paperBefore, made->paperCode());
        EXPECT_EQ(orientationBefore, made->orientation());
        EXPECT_EQ(formBefore, made->formName());
        // Making it later keeps what it was given.
        device->setOutputFileName(QStringLiteral("/tmp/none.pdf"));
        EXPECT_EQ(device->qprinter()->outputFileName(), QStringLiteral("/tmp/none.pdf"));
        EXPECT_EQ(device->caps().horzRes, before.horzRes);
        EXPECT_EQ(device->qprinter()->outputFormat(), QPrinter::PdfFormat);
    }
}

TEST(PrintToPdf, OneVectorPageOfThePaperWithTheTextPlacedAsOnTheSheet) {
    if (!havePoppler())
        GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) not installed";
    QTemporaryDir dir;
    const QString file = dir.filePath("page.pdf");
    const QSize page = pdfPageSize();
    const PrintResult r = printPageToPdf(file, page, samplePage(page));
    ASSERT_TRUE(r.printed) << r.error.toStdString();

    const PdfFacts pdf = readPdf(file);
    EXPECT_EQ(pdf.pages, 1);
    EXPECT_NEAR(pdf.pointSize.width(), 595.28, 0.5);
    EXPECT_NEAR(pdf.pointSize.height(), 841.89, 0.5);
    EXPECT_TRUE(pdf.text.contains(kSample)) << pdf.text.toStdString();

    // Vector output: no raster image, the font embedded.
    const QString images = run("pdfimages", {"-list", file});
    EXPECT_EQ(images.trimmed().split('\n').size(), 2) << images.toStdString(); // header only
    const QString fonts = run("pdffonts", {file});
    EXPECT_TRUE(fonts.contains("IPAGothic")) << fonts.toStdString();
    const QStringList fontLines = fonts.trimmed().split('\n').mid(2);
    EXPECT_FALSE(fontLines.isEmpty());
    for (const QString& line : fontLines) {
        // name type encoding emb sub uni object-id generation
        const QStringList cols = line.split(' ', Qt::SkipEmptyParts);
        ASSERT_GE(cols.size(), 6);
        EXPECT_EQ(cols[cols.size() - 5], "yes") << line.toStdString();
    }

    // Page pixel x = 100 lands at margin + offset + 100 x HORZRES / (W + a):
    // 117 + 117 + 100 x 4724 / 628 device pixels at 600 dpi = 118.3 pt from the edge.
    EXPECT_NEAR(firstWordLeft(file), 118.3, 1.0);
}

TEST(PrintToPdf, LandscapePaperGivesALandscapeSheet) {
    if (!havePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    QTemporaryDir dir;
    const QString file = dir.filePath("landscape.pdf");
    const QSize page = pdfPageSize(kPaperCodeA4, kOrientationLandscape);
    EXPECT_EQ(page, QSize(861, 600));
    ASSERT_TRUE(
        printPageToPdf(file, page, samplePage(page), kPaperCodeA4, kOrientationLandscape).printed);
    const PdfFacts pdf = readPdf(file);
    EXPECT_EQ(pdf.pages, 1);
    EXPECT_NEAR(pdf.pointSize.width(), 841.89, 0.5);
    EXPECT_NEAR(pdf.pointSize.height(), 595.28, 0.5);
}

TEST(PrintToPdf, UnwritableFileAndEmptyPageAreErrorsAndClearPrinting) {
    QTemporaryDir dir;
    const QString file = dir.filePath("missing/folder/page.pdf");
    PrintResult r = printPageToPdf(file, pdfPageSize(), samplePage(pdfPageSize()));
    EXPECT_FALSE(r.printed);
    EXPECT_TRUE(r.error.contains(QString::fromUtf8("PDF ファイル「%1」を書き込めませんでした。\n\r"
                                                   "ファイルまたはフォルダが見つかりません (")
                                     .arg(file)))
        << r.error.toStdString();

    r = printPageToPdf(dir.filePath("empty.pdf"), pdfPageSize(kPaperCodeA4, 1, -100),
                       [](QPainter&) { FAIL() << "an empty page is never drawn"; });
    EXPECT_EQ(r.error, kEmptyPageError);
    EXPECT_FALSE(QFile::exists(dir.filePath("empty.pdf")));

    auto device = PrinterDeviceQt::createPdf();
    device->setOutputFileName(dir.filePath("thrown.pdf"));
    bool printing = false;
    r = printOneSheet(
        *device, pdfPageSize(), [](QPainter&) { throw std::runtime_error("broken page"); },
        printing);
    EXPECT_FALSE(r.printed);
    EXPECT_TRUE(r.error.contains("broken page"));
    EXPECT_FALSE(printing);
    EXPECT_FALSE(QFile::exists(dir.filePath("thrown.pdf"))); // no half-written file
}

// --- a real print queue (scripts/cups-start.sh adds it) ---

const QString kQueue = QStringLiteral("LedoraPDF");

// cups-pdf's output folder from its configuration, for the user running the tests.
QString cupsPdfOutputDir() {
    QString out = QStringLiteral("${HOME}/PDF");
    QFile conf("/etc/cups/cups-pdf.conf");
    if (conf.open(QIODevice::ReadOnly))
        for (const QByteArray& line : conf.readAll().split('\n'))
            if (line.startsWith("Out "))
                out = QString::fromLocal8Bit(line.mid(4).trimmed());
    out.replace("${HOME}", QDir::homePath());
    out.replace("${USER}", qEnvironmentVariable("USER", "root"));
    return out;
}

// Where the page's W x H pixels land on the paper, in points: twice the left margin
// from the paper edge, scaled by HORZRES / (W + a) and VERTRES / (H + a).
QRectF expectedPageRectPt(const PrinterCaps& caps, QSize page, int dpi) {
    const int a =
        caps.physicalOffsetX == 0
            ? -1
            : 2 * qRound(caps.physicalOffsetX * double(page.width()) / caps.physicalWidth);
    const double toPt = 72.0 / dpi;
    return QRectF(2.0 * caps.physicalOffsetX * toPt, 2.0 * caps.physicalOffsetY * toPt,
                  double(page.width()) * caps.horzRes / (page.width() + a) * toPt,
                  double(page.height()) * caps.vertRes / (page.height() + a) * toPt);
}

// Bounding box of the dark pixels of the PDF rendered at 72 dpi (one pixel per point),
// taken along the middle row and column.
QRect darkExtentPt(const QString& file) {
    QTemporaryDir dir;
    run("pdftoppm", {"-r", "72", "-gray", "-singlefile", file, dir.filePath("page")});
    const QImage image(dir.filePath("page.pgm"));
    if (image.isNull())
        return {};
    int left = -1, right = -1, top = -1, bottom = -1;
    for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, image.height() / 2)) < 128) {
            if (left < 0)
                left = x;
            right = x;
        }
    for (int y = 0; y < image.height(); ++y)
        if (qGray(image.pixel(image.width() / 2, y)) < 128) {
            if (top < 0)
                top = y;
            bottom = y;
        }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

TEST(PrintQueue, OnePageThroughCupsComesOutAsAOnePageA4Pdf) {
    if (QPrinterInfo::printerInfo(kQueue).isNull())
        GTEST_SKIP() << "CUPS queue " << kQueue.toStdString()
                     << " not available (scripts/cups-start.sh adds it)";
    if (!havePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    auto device = PrinterDeviceQt::createForPrinter(kQueue);
    ASSERT_TRUE(device);
    EXPECT_FALSE(device->writesFile());
    EXPECT_EQ(device->printerName(), kQueue);
    EXPECT_EQ(device->printerNames().value(device->printerIndex()), kQueue);
    EXPECT_TRUE(device->applyPaper(kPaperCodeA4, kOrientationPortrait));
    const PrinterCaps caps = device->caps();
    EXPECT_NEAR(caps.horzSize, 210, 10);

    // cups-pdf names its file after the job title.
    const QString title = QStringLiteral("ledora-test-%1").arg(QDateTime::currentMSecsSinceEpoch());
    device->qprinter()->setDocName(title);
    const QSize page = computePageSize(caps, "0", {}).page;
    bool printing = false;
    const PrintResult r = printOneSheet(
        *device, page,
        [&](QPainter& p) {
            p.fillRect(QRect(QPoint(0, 0), page), Qt::black);
            p.setPen(Qt::white);
            samplePage(page)(p);
        },
        printing);
    ASSERT_TRUE(r.printed) << r.error.toStdString();

    const QDir out(cupsPdfOutputDir());
    QString file;
    for (int i = 0; i < 150 && file.isEmpty(); ++i) {
        const QStringList found = out.entryList({title + "*.pdf"}, QDir::Files);
        if (!found.isEmpty())
            file = out.filePath(found.first());
        else
            QThread::msleep(200);
    }
    ASSERT_FALSE(file.isEmpty()) << "no PDF from the queue in " << out.path().toStdString();
    QThread::msleep(300); // cups-pdf may still be closing the file
    const PdfFacts pdf = readPdf(file);
    EXPECT_EQ(pdf.pages, 1);
    EXPECT_NEAR(pdf.pointSize.width(), 595.28, 1);
    EXPECT_NEAR(pdf.pointSize.height(), 841.89, 1);
    // The queue's filters re-encode the font: the glyphs stay text but need not read
    // back as the same characters. The black page shows where the stretch put it:
    // from PHYSICALOFFSETX/Y inside the printable area, W / (W + a) of HORZRES wide.
    EXPECT_FALSE(pdf.text.trimmed().isEmpty());
    const QRectF expected = expectedPageRectPt(caps, page, device->qprinter()->resolution());
    const QRect found = darkExtentPt(file);
    EXPECT_NEAR(found.left(), expected.left(), 1.5);
    EXPECT_NEAR(found.top(), expected.top(), 1.5);
    EXPECT_NEAR(found.right() + 1, expected.right(), 1.5);
    EXPECT_NEAR(found.bottom() + 1, expected.bottom(), 1.5);
    QFile::remove(file);
}

} // namespace
