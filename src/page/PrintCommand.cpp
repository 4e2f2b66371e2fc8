#include "page/PrintCommand.h"

#include "platform/PrinterDevice.h"
#include "platform/PrinterDeviceQt.h"

#include <QPainter>

namespace {

// Line break of the program's message boxes: LF then CR.
const QString kBreak = QStringLiteral("\n\r");
const QString kKindLabel = QStringLiteral("種別 『");
const QString kKindPad = QStringLiteral("』　　　　　　　　");
const QString kRecipientLabel = QStringLiteral("宛先");
const QString kPrinterLabel = QStringLiteral("プリンタ名");
const QString kPaperLabel = QStringLiteral("用紙");
const QString kOpen = QStringLiteral(" 『");
const QString kClose = QStringLiteral("』");
const QString kQuestion = QStringLiteral("印刷してもよろしいですか？");

const QString kPdfSuffix = QStringLiteral(".pdf");

// Asks for the PDF file; empty when cancelled. The suffix is added when missing.
QString askPdfFile(const PrintCommandSeams& seams) {
    const QString fileName = seams.askPdfFileName ? seams.askPdfFileName() : QString();
    return fileName.isEmpty() ? fileName : pdfFileNameWithSuffix(fileName);
}

// The kind without its spacing, the recipient (left out when empty) and the four-digit
// number: what names a document in its file name and its title.
QStringList documentNameParts(const QString& title, const QString& recipient, int number) {
    QString kind;
    for (const QChar c : title)
        if (!c.isSpace()) // the titles are spaced with half- and full-width spaces
            kind += c;
    QStringList parts{kind};
    if (const QString name = recipient.trimmed(); !name.isEmpty())
        parts << name;
    parts << QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
    return parts;
}

} // namespace

QString printConfirmationText(const QString& title, const QString& recipient,
                              const QString& printerName, const QString& paperName,
                              const QString& notice) {
    const QString noticeLines = notice.isEmpty() ? QString() : notice + kBreak + kBreak;
    return kKindLabel + title + kKindPad + kBreak + kBreak + kRecipientLabel + kOpen + recipient +
           kClose + kBreak + kBreak + kPrinterLabel + kOpen + printerName + kClose + kBreak +
           kBreak + kPaperLabel + kOpen + paperName + kClose + kBreak + kBreak + noticeLines +
           kBreak + kQuestion;
}

void refreshPaperName(QString& paperName, const QString& formName) {
    if (!formName.isEmpty())
        paperName = formName;
}

PrintCommandResult runPrintCommand(PrinterDevice& device, QString& paperName, bool& printing,
                                   const PrintCommandInput& input, const PrintCommandSeams& seams) {
    PrintCommandResult result;
    refreshPaperName(paperName, device.formName());

    const QStringList printers = device.printerNames();
    const int index = device.printerIndex();
    const QString printer =
        index >= 0 && index < printers.size() ? printers[index] : device.printerName();

    // A printer without a printable area empties the page too, but raising the print
    // scale would not help: that is the printer's fault, told as such.
    if (!hasPrintableArea(device.caps())) {
        result.error = printerFaultError(printer);
        return result;
    }
    // A page that the print scale has shrunk to nothing cannot be placed on the sheet;
    // say so before asking.
    if (input.page.width() <= 0 || input.page.height() <= 0) {
        result.error = kEmptyPageError;
        return result;
    }
    const QString message =
        printConfirmationText(input.title, input.recipient, printer, paperName, input.notice);
    if (!seams.confirm || !seams.confirm(message)) {
        result.cancelled = true;
        return result;
    }
    PrintResult printed;
    if (device.writesFile()) {
        const QString fileName = askPdfFile(seams);
        if (fileName.isEmpty()) {
            result.cancelled = true;
            return result;
        }
        // Written aside and saved in one step, as the PDF command does: a failed print
        // never leaves a broken file, nor removes the one it was to replace.
        printed = writePdfFile(
            fileName, device, input.page, 1,
            [&](QPainter& painter, int) { input.drawPage(painter); }, printing, input.pdfInfo);
    } else {
        printed = printOneSheet(device, input.page, input.drawPage, printing);
    }
    result.printed = printed.printed;
    result.error = printed.error;
    return result;
}

PrintCommandResult runPdfCommand(PrinterDevice& device, QString& paperName, bool& printing,
                                 const PrintCommandInput& input, const PrintCommandSeams& seams) {
    PrintCommandResult result;
    refreshPaperName(paperName, device.formName());
    if (input.page.width() <= 0 || input.page.height() <= 0) {
        result.error = kEmptyPageError;
        return result;
    }
    const QString message = printConfirmationText(
        input.title, input.recipient, PrinterDeviceQt::kPdfPrinterName, paperName, input.notice);
    if (!seams.confirm || !seams.confirm(message)) {
        result.cancelled = true;
        return result;
    }
    const QString fileName = askPdfFile(seams);
    if (fileName.isEmpty()) {
        result.cancelled = true;
        return result;
    }
    const PrintResult written = writePdfFile(
        fileName, device, input.page, 1, [&](QPainter& painter, int) { input.drawPage(painter); },
        printing, input.pdfInfo);
    result.printed = written.printed;
    result.error = written.error;
    return result;
}

QString pdfFileNameWithSuffix(const QString& fileName) {
    return fileName.endsWith(kPdfSuffix, Qt::CaseInsensitive) ? fileName : fileName + kPdfSuffix;
}

QString pdfDefaultFileName(const QString& title, const QString& recipient, int number) {
    // Only the recipient can bring characters a file name cannot hold.
    QString name = documentNameParts(title, recipient, number).join(u'_');
    for (QChar& c : name)
        if (QStringLiteral("\\/:*?\"<>|").contains(c) || c.unicode() < 0x20)
            c = u'_';
    return name + kPdfSuffix;
}

QString pdfDocumentTitle(const QString& title, const QString& recipient, int number) {
    return documentNameParts(title, recipient, number).join(u' ');
}

PrinterSetupResult runPrinterSetupCommand(PrinterDevice& device,
                                          const std::function<bool(PrinterDevice&)>& dialog) {
    const int paperBefore = device.paperCode();
    const int orientationBefore = device.orientation();
    const PrinterCaps capsBefore = device.caps();
    PrinterSetupResult result;
    result.accepted = dialog && dialog(device);
    const PrinterCaps caps = device.caps();
    result.paperChanged =
        device.paperCode() != paperBefore || device.orientation() != orientationBefore ||
        caps.horzSize != capsBefore.horzSize || caps.vertSize != capsBefore.vertSize;
    return result;
}
