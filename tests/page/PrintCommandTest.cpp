// The print command and the printer set-up command against a recording printer.
#include "page/PrintCommand.h"
#include "page/PageSize.h"
#include "platform/PrinterDeviceQt.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class FakePrinter : public PrinterDevice {
public:
    QString form = QStringLiteral("A4");
    bool pdf = false;
    QString failWith;
    QString fileName;
    int jobs = 0;
    QImage sheet{200, 300, QImage::Format_RGB32};
    bool noPrintableArea = false; // a driver that reports nothing

    PrinterCaps caps() const override {
        PrinterCaps c;
        if (noPrintableArea)
            return c;
        c.horzSize = 50;
        c.vertSize = 80;
        c.horzRes = 200;
        c.vertRes = 300;
        c.physicalWidth = 200;
        return c; // no unprintable margin: a = -1
    }
    int paperCode() const override { return 9; }
    int orientation() const override { return 1; }
    QString formName() const override { return form; }
    QString printerName() const override { return QStringLiteral("Office"); }
    QStringList printerNames() const override { return {"Draft", "Office"}; }
    int printerIndex() const override { return 1; }
    bool applyPaper(int, int) override { return true; }
    bool writesFile() const override { return pdf; }
    void setOutputFileName(const QString& name) override { fileName = name; }
    QString printOnePage(const std::function<void(QPainter&)>& paint) override {
        ++jobs;
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        paint(painter);
        return failWith;
    }
};

struct Answers {
    bool ok = true;
    QString pdfName;
    QStringList asked;
    int pdfAsks = 0;
    PrintCommandSeams seams() {
        return {[this](const QString& m) {
                    asked << m;
                    return ok;
                },
                [this] {
                    ++pdfAsks;
                    return pdfName;
                }};
    }
};

const QString kTitle = QStringLiteral("  御 見 積 書  ");

TEST(PrintConfirmation, TextNamesKindRecipientPrinterAndPaperWithLfCrBreaks) {
    const QString text = printConfirmationText(kTitle, QStringLiteral("山田商店"), "Office", "A4");
    EXPECT_EQ(text, QStringLiteral("種別 『  御 見 積 書  』　　　　　　　　\n\r\n\r"
                                   "宛先 『山田商店』\n\r\n\r"
                                   "プリンタ名 『Office』\n\r\n\r"
                                   "用紙 『A4』\n\r\n\r\n\r"
                                   "印刷してもよろしいですか？"));
    EXPECT_EQ(text.count(QStringLiteral("\n\r")), 9);
    EXPECT_FALSE(
        QString(text).remove(QStringLiteral("\n\r")).contains(QRegularExpression("[\r\n]")));

    // A notice about the page stands on its own line above the question.
    EXPECT_EQ(printConfirmationText(kTitle, QStringLiteral("山田商店"), "Office", "A4",
                                    QStringLiteral("税率に注意")),
              QStringLiteral("種別 『  御 見 積 書  』　　　　　　　　\n\r\n\r"
                             "宛先 『山田商店』\n\r\n\r"
                             "プリンタ名 『Office』\n\r\n\r"
                             "用紙 『A4』\n\r\n\r"
                             "税率に注意\n\r\n\r\n\r"
                             "印刷してもよろしいですか？"));
}

TEST(PrintCommand, OkPrintsOneSheetWithPrintingSetOnlyWhileDrawing) {
    FakePrinter printer;
    Answers answers;
    QString paperName = QStringLiteral("old");
    bool printing = false;
    bool printingSeen = false;
    PrintCommandInput input{kTitle, QStringLiteral("山田"), QSize(150, 240), [&](QPainter& p) {
                                printingSeen = printing;
                                p.fillRect(0, 0, 150, 240, Qt::black);
                            }};
    const PrintCommandResult r =
        runPrintCommand(printer, paperName, printing, input, answers.seams());
    EXPECT_TRUE(r.printed);
    EXPECT_TRUE(r.error.isEmpty());
    EXPECT_EQ(printer.jobs, 1);
    EXPECT_TRUE(printingSeen);
    EXPECT_FALSE(printing);
    EXPECT_EQ(paperName, "A4");
    ASSERT_EQ(answers.asked.size(), 1);
    EXPECT_TRUE(answers.asked[0].contains(QStringLiteral("プリンタ名 『Office』")));
    EXPECT_EQ(answers.pdfAsks, 0); // a real printer needs no file name
    // 150 x 240 page, a = -1: 149 x 239 page pixels fill the 200 x 300 sheet, the last
    // page pixel column and row are cut off.
    EXPECT_EQ(printer.sheet.pixel(199, 299), qRgb(0, 0, 0));
    EXPECT_EQ(printer.sheet.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(PrintCommand, CancelPrintsNothingButRefreshesPaperName) {
    FakePrinter printer;
    printer.form = QStringLiteral("B5 (JIS)");
    Answers answers;
    answers.ok = false;
    QString paperName = QStringLiteral("A4");
    bool printing = false;
    const PrintCommandResult r =
        runPrintCommand(printer, paperName, printing,
                        {kTitle, "x", QSize(150, 240), [](QPainter&) {}}, answers.seams());
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.printed);
    EXPECT_EQ(printer.jobs, 0);
    EXPECT_EQ(paperName, QStringLiteral("B5 (JIS)"));
    EXPECT_TRUE(answers.asked[0].contains(QStringLiteral("用紙 『B5 (JIS)』")));
}

TEST(PrintCommand, EmptyFormNameKeepsThePreviousPaperName) {
    FakePrinter printer;
    printer.form.clear();
    Answers answers;
    answers.ok = false;
    QString paperName = QStringLiteral("はがき");
    bool printing = false;
    runPrintCommand(printer, paperName, printing, {kTitle, "x", QSize(150, 240), {}},
                    answers.seams());
    EXPECT_EQ(paperName, QStringLiteral("はがき"));
    EXPECT_TRUE(answers.asked[0].contains(QStringLiteral("用紙 『はがき』")));
}

TEST(PrintCommand, EmptyPageIsAnErrorBeforeAnythingIsAskedOrPrinted) {
    FakePrinter printer;
    Answers answers;
    QString paperName;
    bool printing = false;
    const PrintCommandResult r = runPrintCommand(printer, paperName, printing,
                                                 {kTitle, "x", QSize(0, 0), {}}, answers.seams());
    EXPECT_EQ(r.error, kEmptyPageError);
    EXPECT_FALSE(r.printed);
    EXPECT_TRUE(answers.asked.isEmpty());
    EXPECT_EQ(printer.jobs, 0);
    EXPECT_EQ(paperName, "A4"); // the form name is still taken
}

// A printer that reports no printable area is a printer fault, not a matter of the print
// scale: its own message, naming the printer, whatever page size the window still has.
TEST(PrintCommand, PrinterWithoutPrintableAreaGetsItsOwnMessage) {
    for (const QSize page : {QSize(0, 0), QSize(150, 240)}) {
        FakePrinter printer;
        printer.noPrintableArea = true;
        Answers answers;
        QString paperName;
        bool printing = false;
        const PrintCommandResult r = runPrintCommand(
            printer, paperName, printing, {kTitle, "x", page, [](QPainter&) {}}, answers.seams());
        EXPECT_FALSE(r.printed);
        EXPECT_NE(r.error, kEmptyPageError);
        EXPECT_EQ(r.error, printerFaultError(QStringLiteral("Office")));
        EXPECT_TRUE(r.error.contains(QStringLiteral("Office")));
        EXPECT_TRUE(answers.asked.isEmpty());
        EXPECT_EQ(printer.jobs, 0);

        const PrintResult sheet = printOneSheet(
            printer, page, [](QPainter&) {}, printing);
        EXPECT_EQ(sheet.error, printerFaultError(QStringLiteral("Office")));
    }
}

TEST(PrintCommand, FailedJobReportsTheErrorAndClearsPrinting) {
    FakePrinter printer;
    printer.failWith = QStringLiteral("紙詰まり");
    Answers answers;
    QString paperName;
    bool printing = false;
    const PrintCommandResult r =
        runPrintCommand(printer, paperName, printing,
                        {kTitle, "x", QSize(150, 240), [](QPainter&) {}}, answers.seams());
    EXPECT_FALSE(r.printed);
    EXPECT_EQ(r.error, QStringLiteral("紙詰まり"));
    EXPECT_FALSE(printing);
}

TEST(PrintCommand, PdfPrinterAsksForTheFileAfterTheConfirmation) {
    FakePrinter printer;
    printer.pdf = true;
    Answers answers;
    QString paperName;
    bool printing = false;
    const PrintCommandInput input{kTitle, "x", QSize(150, 240), [](QPainter&) {}};

    // Cancelling the Save dialog prints nothing.
    PrintCommandResult r = runPrintCommand(printer, paperName, printing, input, answers.seams());
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(answers.pdfAsks, 1);
    EXPECT_EQ(printer.jobs, 0);

    // A name without the extension gets it; the file is written with the printer's
    // paper, not by the printer's own job.
    QTemporaryDir dir;
    answers.pdfName = dir.filePath(QStringLiteral("見積"));
    r = runPrintCommand(printer, paperName, printing, input, answers.seams());
    EXPECT_TRUE(r.printed) << r.error.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("見積.pdf"))));
    EXPECT_EQ(printer.jobs, 0);

    // Cancelling the confirmation never reaches the Save dialog.
    answers.ok = false;
    runPrintCommand(printer, paperName, printing, input, answers.seams());
    EXPECT_EQ(answers.pdfAsks, 2);
}

TEST(PrinterSetupCommand, LandscapeSwapsThePageAndIsReportedCancelIsNot) {
    auto printer = PrinterDeviceQt::createPdf();
    const QSize portrait = computePageSize(printer->caps(), "0", {}).page;

    PrinterSetupResult r = runPrinterSetupCommand(*printer, [](PrinterDevice&) { return false; });
    EXPECT_FALSE(r.accepted);
    EXPECT_FALSE(r.paperChanged);

    r = runPrinterSetupCommand(*printer, [](PrinterDevice& d) {
        return d.applyPaper(kPaperCodeA4, kOrientationLandscape);
    });
    EXPECT_TRUE(r.accepted);
    EXPECT_TRUE(r.paperChanged);
    EXPECT_EQ(computePageSize(printer->caps(), "0", {}).page, portrait.transposed());

    // Confirming without a change reports none.
    r = runPrinterSetupCommand(*printer, [](PrinterDevice&) { return true; });
    EXPECT_TRUE(r.accepted);
    EXPECT_FALSE(r.paperChanged);
}

// The proposed file name and the PDF's title: the kind without its spaces, the recipient
// and the four-digit number.
TEST(PdfNames, KindWithoutSpacesRecipientAndFourDigitNumber) {
    struct Case {
        const char* title;
        const char* recipient;
        int number;
        const char* fileName;
        const char* docTitle;
    };
    const Case cases[] = {
        {"  御 見 積 書  ", "山田商店御中", 12, "御見積書_山田商店御中_0012.pdf",
         "御見積書 山田商店御中 0012"},
        {"  納　品　書  ", "佐藤 一郎様", 7, "納品書_佐藤 一郎様_0007.pdf",
         "納品書 佐藤 一郎様 0007"},
        // A recipient never becomes a folder or an invalid name; the title keeps it as it is.
        {"  御 請 求 書  ", "A/B:C*様", 3, "御請求書_A_B_C_様_0003.pdf", "御請求書 A/B:C*様 0003"},
        {"  御 請 求 書  ", "  ", 12345, "御請求書_12345.pdf", "御請求書 12345"},
    };
    for (const Case& c : cases) {
        const QString title = QString::fromUtf8(c.title);
        const QString recipient = QString::fromUtf8(c.recipient);
        EXPECT_EQ(pdfDefaultFileName(title, recipient, c.number), QString::fromUtf8(c.fileName));
        EXPECT_EQ(pdfDocumentTitle(title, recipient, c.number), QString::fromUtf8(c.docTitle));
    }
}

TEST(PdfCommand, FailedDrawingLeavesTheOldFileAndClearsPrinting) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("old.pdf"));
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old bytes");
    }
    FakePrinter device; // no Qt printer behind it: the PDF takes its paper code
    QString paperName;
    bool printing = false;
    Answers answers;
    answers.pdfName = file;
    PrintCommandInput input{kTitle, QStringLiteral("山田商店"), QSize(150, 240), [&](QPainter&) {
                                EXPECT_TRUE(printing);
                                throw std::runtime_error("broken page");
                            }};
    const PrintCommandResult r = runPdfCommand(device, paperName, printing, input, answers.seams());
    EXPECT_FALSE(r.printed);
    EXPECT_TRUE(r.error.contains(QStringLiteral("broken page"))) << r.error.toStdString();
    EXPECT_FALSE(printing);
    EXPECT_EQ(device.jobs, 0); // the printer itself prints nothing
    EXPECT_EQ(paperName, QStringLiteral("A4"));
    ASSERT_EQ(answers.asked.size(), 1);
    EXPECT_TRUE(answers.asked[0].contains(PrinterDeviceQt::kPdfPrinterName));
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old bytes"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.pdf")});

    // A page of no size is refused before anything is asked.
    input.page = QSize(0, 10);
    answers.asked.clear();
    EXPECT_EQ(runPdfCommand(device, paperName, printing, input, answers.seams()).error,
              kEmptyPageError);
    EXPECT_TRUE(answers.asked.isEmpty());
}

} // namespace
