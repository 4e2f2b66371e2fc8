#include "page/PrintPage.h"

#include "page/PageSize.h"
#include "page/PrintPlacement.h"
#include "platform/PrinterDeviceQt.h"

#include <QPainter>

const QString kEmptyPageError = QStringLiteral("印刷範囲の大きさが 0 になるため印刷できません。\n\r"
                                               "印刷倍率を -100 より大きな値にしてください。");

const QString kPrinterFaultError =
    QStringLiteral("プリンタ \"%1\" から印刷範囲を取得できないため印刷できません。\n\r"
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

} // namespace

PrintResult printOneSheet(PrinterDevice& device, QSize page, const PageDrawFn& drawPage,
                          bool& printing) {
    PrintingFlag flag(printing);
    if (!hasPrintableArea(device.caps()))
        return {false, printerFaultError(device.printerName())};
    const PrintPlacement placement = computePrintPlacement(device.caps(), page);
    if (!placement.valid)
        return {false, kEmptyPageError};
    const QString error = device.printOnePage([&](QPainter& painter) {
        // Painted straight onto the printer, scaled as a whole: the sheet gets the same
        // vector drawing as the screen, the page's (W + a) x (H + a) filling the target.
        painter.translate(placement.target.topLeft());
        painter.scale(placement.scaleX, placement.scaleY);
        painter.setClipRect(QRect(QPoint(0, 0), placement.picture));
        drawPage(painter);
    });
    if (!error.isEmpty())
        return {false, error};
    return {true, {}};
}

QSize pdfPageSize(int paperCode, int orientation, int printScale) {
    auto device = PrinterDeviceQt::createPdf();
    device->applyPaper(paperCode, orientation);
    return computePageSize(device->caps(), QString::number(printScale), QPoint()).page;
}

PrintResult printPageToPdf(const QString& fileName, QSize page, const PageDrawFn& drawPage,
                           int paperCode, int orientation) {
    auto device = PrinterDeviceQt::createPdf();
    device->applyPaper(paperCode, orientation);
    device->setOutputFileName(fileName);
    bool printing = false;
    return printOneSheet(*device, page, drawPage, printing);
}
