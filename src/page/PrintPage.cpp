#include "page/PrintPage.h"

#include "page/PageSize.h"
#include "page/PrintPlacement.h"
#include "platform/FileErrorText.h"
#include "platform/PrinterDeviceQt.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>

const QString kEmptyPageError = QStringLiteral("印刷範囲の大きさが 0 になるため印刷できません。\n\r"
                                               "印刷倍率を -100 より大きな値にしてください。");
const QString kPdfWriteError = QStringLiteral("PDF ファイル「%1」を書き込めませんでした。\n\r%2");

const QString kPrinterFaultError =
    QStringLiteral("プリンタ「%1」から印刷範囲を取得できないため印刷できません。\n\r"
                   "プリンタの状態と設定を確認してください。");

bool hasPrintableArea(const PrinterCaps& caps) {
    return caps.horzSize > 0 && caps.vertSize > 0 && caps.horzRes > 0 && caps.vertRes > 0;
}

QString printerFaultError(const QString& printerName) {
    return kPrinterFaultError.arg(printerName);
}

namespace {

// Clears the window's Printing flag on every way out of a print.
class PrintingFlag {
public:
    explicit PrintingFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~PrintingFlag() { flag_ = false; }
    PrintingFlag(const PrintingFlag&) = delete;
    PrintingFlag& operator=(const PrintingFlag&) = delete;

private:
    bool& flag_;
};

// Keeps the painter's state for the next sheet, also when the drawing throws.
class SavedPainterState {
public:
    explicit SavedPainterState(QPainter& painter) : painter_(painter) { painter_.save(); }
    ~SavedPainterState() { painter_.restore(); }
    SavedPainterState(const SavedPainterState&) = delete;
    SavedPainterState& operator=(const SavedPainterState&) = delete;

private:
    QPainter& painter_;
};

// Painted straight onto the printer, scaled as a whole: the sheet gets the same vector
// drawing as the screen, the page's (W + a) x (H + a) filling the target.
void drawPlaced(QPainter& painter, const PrintPlacement& placement, const PageDrawFn& drawPage) {
    SavedPainterState saved(painter);
    painter.translate(placement.target.topLeft());
    painter.scale(placement.scaleX, placement.scaleY);
    painter.setClipRect(QRect(QPoint(0, 0), placement.picture));
    drawPage(painter);
}

// A PDF job into a temporary file, then its bytes saved over the target in one step.
PrintResult writePdf(PrinterDeviceQt& pdf, const QString& fileName, QSize page, int count,
                     const SheetDrawFn& drawPage, bool& printing,
                     const PdfDocumentInfo& info = {}) {
    // Called right after the failing call, so errno is still its own.
    auto failure = [&](const QFileDevice& failed) {
        const QString reason = fileerror::describe(failed, errno);
        return PrintResult{false, kPdfWriteError.arg(QDir::toNativeSeparators(fileName), reason)};
    };
    // Open the target first: an unwritable place is reported before anything is drawn.
    QSaveFile target(fileName);
    if (!target.open(QIODevice::WriteOnly))
        return failure(target);
    QTemporaryFile rendered(QDir::tempPath() + QStringLiteral("/ledora-XXXXXX.pdf"));
    if (!rendered.open())
        return failure(rendered);
    rendered.close(); // the printer writes it under its name; removed when we leave
    pdf.setOutputFileName(rendered.fileName());
    pdf.setDocumentInfo(info.title, info.creator);
    const PrintResult printed = printSheets(pdf, page, count, drawPage, printing);
    if (!printed.printed)
        return printed; // the save file is discarded unwritten
    QFile in(rendered.fileName());
    if (!in.open(QIODevice::ReadOnly))
        return failure(in);
    const QByteArray bytes = in.readAll();
    if (bytes.isEmpty() || target.write(bytes) != bytes.size() || !target.commit())
        return failure(target);
    return {true, {}};
}

} // namespace

PrintResult printOneSheet(PrinterDevice& device, QSize page, const PageDrawFn& drawPage,
                          bool& printing) {
    PrintingFlag flag(printing);
    if (!hasPrintableArea(device.caps()))
        return {false, printerFaultError(device.printerName())};
    const PrintPlacement placement = computePrintPlacement(device.caps(), page);
    if (!placement.valid)
        return {false, kEmptyPageError};
    const QString error =
        device.printOnePage([&](QPainter& painter) { drawPlaced(painter, placement, drawPage); });
    if (!error.isEmpty())
        return {false, error};
    return {true, {}};
}

PrintResult printSheets(PrinterDeviceQt& device, QSize page, int count, const SheetDrawFn& drawPage,
                        bool& printing) {
    PrintingFlag flag(printing);
    const PrintPlacement placement = computePrintPlacement(device.caps(), page);
    if (!placement.valid)
        return {false, kEmptyPageError};
    const QString error = device.printPages(count, [&](QPainter& painter, int index) {
        drawPlaced(painter, placement, [&](QPainter& p) { drawPage(p, index); });
    });
    if (!error.isEmpty())
        return {false, error};
    return {true, {}};
}

PrintResult writePdfFile(const QString& fileName, PrinterDevice& model, QSize page, int count,
                         const SheetDrawFn& drawPage, bool& printing, const PdfDocumentInfo& info) {
    auto pdf = PrinterDeviceQt::createPdfLike(model);
    return writePdf(*pdf, fileName, page, count, drawPage, printing, info);
}

QSize pdfPageSize(int paperCode, int orientation, int printScale) {
    auto device = PrinterDeviceQt::createPdf();
    device->applyPaper(paperCode, orientation);
    return computePageSize(device->caps(), QString::number(printScale), QPoint()).page;
}

PrintResult printPageToPdf(const QString& fileName, QSize page, const PageDrawFn& drawPage,
                           int paperCode, int orientation) {
    return printPagesToPdf(
        fileName, page, 1, [&](QPainter& painter, int) { drawPage(painter); }, paperCode,
        orientation);
}

PrintResult printPagesToPdf(const QString& fileName, QSize page, int count,
                            const SheetDrawFn& drawPage, int paperCode, int orientation) {
    auto device = PrinterDeviceQt::createPdf();
    device->applyPaper(paperCode, orientation);
    bool printing = false;
    return writePdf(*device, fileName, page, count, drawPage, printing);
}
