#pragma once
// PrinterDevice over Qt's printing. Normally the system's default printer; on a
// machine without printers a built-in A4 portrait PDF printer stands in, so the
// program still starts, sizes its page and "prints" to a PDF file.
#include "platform/PrinterDevice.h"

#include <QPageLayout>
#include <QPrinter>
#include <memory>

class PrinterDeviceQt : public PrinterDevice {
public:
    // The name under which the stand-in PDF printer appears in the printer list.
    static const QString kPdfPrinterName;

    // The default printer, the first printer if none is default, else the stand-in.
    static std::unique_ptr<PrinterDeviceQt> createDefault();
    // A named system printer (e.g. a CUPS queue); null when no such printer exists.
    static std::unique_ptr<PrinterDeviceQt> createForPrinter(const QString& name);
    // The stand-in PDF printer, A4 portrait.
    static std::unique_ptr<PrinterDeviceQt> createPdf();
    // A PDF printer with the paper, orientation and margins of `model`, so a page
    // placed on it lands where it would on `model`'s sheet.
    static std::unique_ptr<PrinterDeviceQt> createPdfLike(PrinterDevice& model);

    PrinterCaps caps() const override;
    int paperCode() const override;
    int orientation() const override;
    QString formName() const override;
    QString printerName() const override;
    QStringList printerNames() const override;
    int printerIndex() const override;
    bool applyPaper(int paperCode, int orientation) override;
    bool selectPrinter(const QString& name) override;
    bool writesFile() const override;
    void setOutputFileName(const QString& fileName) override;
    QString printOnePage(const std::function<void(QPainter&)>& paint) override;
    // One job of `count` sheets; `paint` draws sheet `index` (0-based) like printOnePage.
    QString printPages(int count, const std::function<void(QPainter&, int index)>& paint);
    QPrinter* qprinter() override { return &printer(); }
    // The title and creator a PDF written by this printer carries; empty ones are left out.
    void setDocumentInfo(const QString& title, const QString& creator);

private:
    PrinterDeviceQt();
    void makePdf();
    bool supportsPageSize(const QPageSize& size) const;
    // The printer, made now if it is the stand-in's and not made yet.
    QPrinter& printer();
    // Draws `count` sheets on `device` as one job; `abortJob` cancels it on a drawing error.
    QString drawSheets(QPagedPaintDevice& device, int count,
                       const std::function<void(QPainter&, int index)>& paint,
                       const std::function<void()>& abortJob);
    QPageLayout pageLayout() const;

    // Null for the stand-in until it prints: making a QPrinter loads the platform's print
    // support and asks it for its printers, which a start-up that only sizes its page on
    // the stand-in's paper never needs. Until then its paper and file name are kept here.
    std::unique_ptr<QPrinter> printer_;
    QPageLayout pdfLayout_;
    QString pdfFileName_;
    QString docTitle_;
    QString docCreator_;
};
