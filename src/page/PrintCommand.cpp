#include "page/PrintCommand.h"

#include "platform/PrinterDevice.h"

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

} // namespace

QString printConfirmationText(const QString& title, const QString& recipient,
                              const QString& printerName, const QString& paperName) {
    return kKindLabel + title + kKindPad + kBreak + kBreak + kRecipientLabel + kOpen + recipient +
           kClose + kBreak + kBreak + kPrinterLabel + kOpen + printerName + kClose + kBreak +
           kBreak + kPaperLabel + kOpen + paperName + kClose + kBreak + kBreak + kBreak + kQuestion;
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
    const QString message = printConfirmationText(input.title, input.recipient, printer, paperName);
    if (!seams.confirm || !seams.confirm(message)) {
        result.cancelled = true;
        return result;
    }
    if (device.writesFile()) {
        QString fileName = seams.askPdfFileName ? seams.askPdfFileName() : QString();
        if (fileName.isEmpty()) {
            result.cancelled = true;
            return result;
        }
        if (!fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
            fileName += QStringLiteral(".pdf");
        device.setOutputFileName(fileName);
    }
    const PrintResult printed = printOneSheet(device, input.page, input.drawPage, printing);
    result.printed = printed.printed;
    result.error = printed.error;
    return result;
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
