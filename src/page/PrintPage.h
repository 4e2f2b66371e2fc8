#pragma once
// Printing the page on one sheet (APrint) and writing it to a PDF file the same way.
#include "platform/PrinterDevice.h"

#include <QSize>
#include <QString>
#include <functional>

class PrinterDeviceQt;
class QPainter;

// Draws the page at the painter's origin in page pixels, without the screen-only
// marks (the window calls DrawPage through a QPainter canvas).
using PageDrawFn = std::function<void(QPainter&)>;
// Draws sheet `index` (0-based) of a job of several pages, like PageDrawFn.
using SheetDrawFn = std::function<void(QPainter&, int index)>;

// What a PDF file says of itself in its document properties.
struct PdfDocumentInfo {
    QString title;
    QString creator;
};

struct PrintResult {
    bool printed = false;
    QString error; // non-empty: shown in the error box; nothing was printed
};

// Shown instead of printing a page that the print scale has made empty.
extern const QString kEmptyPageError;
// A PDF file that could not be written: %1 the file, %2 the reason.
extern const QString kPdfWriteError;

// A printer whose driver reports no printable area cannot take the page, whatever the
// print scale; the message names the printer instead of advising on the scale.
bool hasPrintableArea(const PrinterCaps& caps);
QString printerFaultError(const QString& printerName);

// APrint: one sheet on the device. `printing` is set while the page is drawn and
// cleared on every way out. The page is painted straight onto the printer, scaled,
// so text and lines stay vector output.
PrintResult printOneSheet(PrinterDevice& device, QSize page, const PageDrawFn& drawPage,
                          bool& printing);

// printOneSheet for `count` sheets of the same page size in one job.
PrintResult printSheets(PrinterDeviceQt& device, QSize page, int count, const SheetDrawFn& drawPage,
                        bool& printing);

// Writes `count` pages to a PDF file of `model`'s paper, orientation and margins, each
// placed as printOneSheet places it on `model`. The file is rendered aside and then
// saved over `fileName` at once, so a failure leaves the old file (or none) in place.
PrintResult writePdfFile(const QString& fileName, PrinterDevice& model, QSize page, int count,
                         const SheetDrawFn& drawPage, bool& printing,
                         const PdfDocumentInfo& info = {});

// The stand-in PDF printer's page size for a paper and print scale, as the window
// would size PB1 with that printer.
QSize pdfPageSize(int paperCode = kPaperCodeA4, int orientation = kOrientationPortrait,
                  int printScale = 0);

// Writes the page to a one-page PDF file of the stand-in printer with the given paper
// through writePdfFile (vector text, fonts embedded). `page` is the page's size in page
// pixels, normally pdfPageSize() of the same paper.
PrintResult printPageToPdf(const QString& fileName, QSize page, const PageDrawFn& drawPage,
                           int paperCode = kPaperCodeA4, int orientation = kOrientationPortrait);
// The same for `count` pages.
PrintResult printPagesToPdf(const QString& fileName, QSize page, int count,
                            const SheetDrawFn& drawPage, int paperCode = kPaperCodeA4,
                            int orientation = kOrientationPortrait);
