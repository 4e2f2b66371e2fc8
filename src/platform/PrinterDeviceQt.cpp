#include "platform/PrinterDeviceQt.h"

#include "platform/Cp932.h"
#include "platform/PrinterPaper.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinterInfo>
#include <cmath>
#include <exception>

const QString PrinterDeviceQt::kPdfPrinterName = QStringLiteral("PDF ファイルへ出力");

namespace {

// The stand-in PDF printer behaves like a 600 dpi office laser printer with an
// unprintable band of 5 mm on every edge. A4 portrait (595 x 842 pt) gives a printable
// area of 200 x 287 mm, HORZRES x VERTRES = 4724 x 6783, PHYSICALWIDTH = 4958 and
// PHYSICALOFFSETX/Y = 117 (Qt works in whole points), so the page is 600 x 861 pixels.
constexpr int kPdfResolution = 600;
constexpr qreal kPdfMarginMm = 5.0;

const QString kNoFileError = QStringLiteral("出力する PDF ファイルの名前がありません。");
const QString kBeginError =
    QStringLiteral("印刷を開始できませんでした。\n\rプリンタ『%1』を確認してください。");
const QString kEndError =
    QStringLiteral("印刷ジョブを完了できませんでした。\n\rプリンタ『%1』を確認してください。");
const QString kDrawError = QStringLiteral("印刷を中止しました。\n\r%1");
const QString kUnknownDrawError = QStringLiteral("ページを描けませんでした。");
const QString kNewPageError = QStringLiteral("次のページを始められませんでした。");

} // namespace

PrinterDeviceQt::PrinterDeviceQt() = default;

std::unique_ptr<PrinterDeviceQt> PrinterDeviceQt::createDefault() {
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
        if (!all.isEmpty())
            info = all.first();
    }
    if (info.isNull())
        return createPdf();
    if (auto device = createForPrinter(info.printerName()))
        return device;
    return createPdf();
}

std::unique_ptr<PrinterDeviceQt> PrinterDeviceQt::createForPrinter(const QString& name) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return nullptr;
    std::unique_ptr<PrinterDeviceQt> device(new PrinterDeviceQt);
    device->printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!device->printer_->isValid())
        return nullptr;
    device->printer_->setFullPage(false);
    return device;
}

std::unique_ptr<PrinterDeviceQt> PrinterDeviceQt::createPdf() {
    std::unique_ptr<PrinterDeviceQt> device(new PrinterDeviceQt);
    device->makePdf();
    return device;
}

std::unique_ptr<PrinterDeviceQt> PrinterDeviceQt::createPdfLike(PrinterDevice& model) {
    auto device = createPdf();
    if (auto* source = dynamic_cast<PrinterDeviceQt*>(&model))
        device->pdfLayout_ = source->pageLayout();
    else if (const QPrinter* printer = model.qprinter())
        device->pdfLayout_ = printer->pageLayout();
    else
        device->applyPaper(model.paperCode(), model.orientation());
    return device;
}

void PrinterDeviceQt::makePdf() {
    printer_.reset();
    pdfFileName_.clear();
    pdfLayout_ = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                             QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                             QPageLayout::Millimeter);
}

QPrinter& PrinterDeviceQt::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setResolution(kPdfResolution);
        printer_->setFullPage(false);
        printer_->setPageLayout(pdfLayout_);
        if (!pdfFileName_.isEmpty())
            printer_->setOutputFileName(pdfFileName_);
    }
    return *printer_;
}

QPageLayout PrinterDeviceQt::pageLayout() const {
    return printer_ ? printer_->pageLayout() : pdfLayout_;
}

PrinterCaps PrinterDeviceQt::caps() const {
    // Qt's page rectangle is the printable area, its paper rectangle the sheet; both
    // in device pixels of the printer's resolution, as a painter on it sees them. The
    // stand-in not made yet has them from its paper, as its PDF engine would.
    const QRectF paper = printer_ ? printer_->paperRect(QPrinter::DevicePixel)
                                  : QRectF(pdfLayout_.fullRectPixels(kPdfResolution));
    const QRectF page = printer_ ? printer_->pageRect(QPrinter::DevicePixel)
                                 : QRectF(pdfLayout_.paintRectPixels(kPdfResolution));
    const QRectF pageMm = printer_ ? printer_->pageRect(QPrinter::Millimeter)
                                   : pdfLayout_.paintRect(QPageLayout::Millimeter);
    PrinterCaps c;
    c.horzSize = qRound(pageMm.width());
    c.vertSize = qRound(pageMm.height());
    c.horzRes = qRound(page.width());
    c.vertRes = qRound(page.height());
    c.physicalWidth = qRound(paper.width());
    c.physicalHeight = qRound(paper.height());
    c.physicalOffsetX = qRound(page.left() - paper.left());
    c.physicalOffsetY = qRound(page.top() - paper.top());
    return c;
}

int PrinterDeviceQt::paperCode() const {
    return paperCodeForPageSize(pageLayout().pageSize());
}

int PrinterDeviceQt::orientation() const {
    return pageLayout().orientation() == QPageLayout::Landscape ? kOrientationLandscape
                                                                : kOrientationPortrait;
}

QString PrinterDeviceQt::formName() const {
    // The device mode keeps the form name in 32 bytes; what does not fit is lost.
    QByteArray bytes = cp932::encode(pageLayout().pageSize().name());
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return cp932::decode(cp932::cutToWidth(bytes, 32));
}

QString PrinterDeviceQt::printerName() const {
    return writesFile() ? kPdfPrinterName : printer_->printerName();
}

QStringList PrinterDeviceQt::printerNames() const {
    QStringList names = QPrinterInfo::availablePrinterNames();
    if (writesFile())
        names.append(kPdfPrinterName);
    return names;
}

int PrinterDeviceQt::printerIndex() const {
    return int(printerNames().indexOf(printerName()));
}

bool PrinterDeviceQt::supportsPageSize(const QPageSize& size) const {
    if (writesFile())
        return true;
    const QList<QPageSize> sizes = QPrinterInfo(*printer_).supportedPageSizes();
    if (sizes.isEmpty())
        return true; // the driver does not say; let it decide
    for (const QPageSize& s : sizes)
        if (s.isEquivalentTo(size))
            return true;
    return false;
}

bool PrinterDeviceQt::selectPrinter(const QString& name) {
    if (name == printerName())
        return true;
    if (name == kPdfPrinterName) {
        makePdf();
        return true;
    }
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return false;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!printer->isValid())
        return false;
    printer->setFullPage(false);
    printer_ = std::move(printer);
    return true;
}

bool PrinterDeviceQt::applyPaper(int paperCode, int orientation) {
    bool took = true;
    const QPageSize size = pageSizeForPaperCode(paperCode);
    const bool orientationKnown =
        orientation == kOrientationPortrait || orientation == kOrientationLandscape;
    const QPageLayout::Orientation wanted =
        orientation == kOrientationLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (!printer_) {
        // What the PDF engine does with its layout when a printer is given these.
        if (size.isValid())
            pdfLayout_.setPageSize(size);
        if (orientationKnown)
            pdfLayout_.setOrientation(wanted);
        return size.isValid() && pdfLayout_.pageSize().isEquivalentTo(size) && orientationKnown;
    }
    if (size.isValid() && supportsPageSize(size))
        took = printer_->setPageSize(size) && took;
    else
        took = false;
    if (orientationKnown)
        took = printer_->setPageOrientation(wanted) && took;
    else
        took = false;
    return took;
}

bool PrinterDeviceQt::writesFile() const {
    return !printer_ || printer_->outputFormat() == QPrinter::PdfFormat;
}

void PrinterDeviceQt::setOutputFileName(const QString& fileName) {
    if (!printer_) {
        pdfFileName_ = fileName;
        return;
    }
    const bool pdf = writesFile();
    printer_->setOutputFileName(fileName);
    // An empty name would switch a PDF printer back to the native format.
    if (pdf && printer_->outputFormat() != QPrinter::PdfFormat)
        printer_->setOutputFormat(QPrinter::PdfFormat);
}

void PrinterDeviceQt::setDocumentInfo(const QString& title, const QString& creator) {
    docTitle_ = title;
    docCreator_ = creator;
}

QString PrinterDeviceQt::printOnePage(const std::function<void(QPainter&)>& paint) {
    return printPages(1, [&](QPainter& painter, int) { paint(painter); });
}

QString PrinterDeviceQt::printPages(int count,
                                    const std::function<void(QPainter&, int index)>& paint) {
    if (!printer_) {
        // The stand-in not made yet writes its file itself: the same PDF engine, without
        // loading the platform's print support and everything that comes with it.
        if (pdfFileName_.isEmpty())
            return kNoFileError;
        QPdfWriter writer(pdfFileName_);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(pdfLayout_);
        if (!docTitle_.isEmpty())
            writer.setTitle(docTitle_);
        if (!docCreator_.isEmpty())
            writer.setCreator(docCreator_);
        return drawSheets(writer, count, paint, [] {});
    }
    QPrinter& target = *printer_;
    if (writesFile() && target.outputFileName().isEmpty())
        return kNoFileError;
    // One copy of each sheet, whatever the set-up dialog offered.
    target.setCopyCount(1);
    target.setPrintRange(QPrinter::AllPages);
    target.setFullPage(false);
    if (!docTitle_.isEmpty())
        target.setDocName(docTitle_);
    if (!docCreator_.isEmpty())
        target.setCreator(docCreator_);
    return drawSheets(target, count, paint, [&target] { target.abort(); });
}

QString PrinterDeviceQt::drawSheets(QPagedPaintDevice& device, int count,
                                    const std::function<void(QPainter&, int index)>& paint,
                                    const std::function<void()>& abortJob) {
    QPainter painter;
    if (!painter.begin(&device))
        return kBeginError.arg(printerName());
    QString drawError;
    try {
        for (int index = 0; index < count && drawError.isEmpty(); ++index) {
            if (index > 0 && !device.newPage())
                drawError = kDrawError.arg(kNewPageError);
            else
                paint(painter, index);
        }
    } catch (const std::exception& e) {
        drawError = kDrawError.arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        drawError = kDrawError.arg(kUnknownDrawError);
    }
    if (!drawError.isEmpty()) {
        abortJob();
        painter.end();
        // A half-written PDF is no print; do not leave it behind.
        if (writesFile())
            QFile::remove(printer_ ? printer_->outputFileName() : pdfFileName_);
        return drawError;
    }
    if (!painter.end())
        return kEndError.arg(printerName());
    return {};
}
