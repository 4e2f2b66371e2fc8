#pragma once
// The printer as the program sees it: the device capabilities the page size and the
// print placement are computed from, the paper in Windows terms (paper code,
// orientation 1/2, form name), the printer list, and one-page print jobs.
#include <QString>
#include <QStringList>
#include <functional>

class QPainter;
class QPrinter;

// Device capabilities under their Windows names. Sizes in whole millimetres,
// everything else in device pixels at the printer's resolution.
struct PrinterCaps {
    int horzSize = 0;        // HORZSIZE: printable width, mm
    int vertSize = 0;        // VERTSIZE: printable height, mm
    int horzRes = 0;         // HORZRES: printable width, device pixels
    int vertRes = 0;         // VERTRES: printable height, device pixels
    int physicalWidth = 0;   // PHYSICALWIDTH: paper width, device pixels
    int physicalHeight = 0;  // PHYSICALHEIGHT: paper height, device pixels
    int physicalOffsetX = 0; // PHYSICALOFFSETX: unprintable left margin, device pixels
    int physicalOffsetY = 0; // PHYSICALOFFSETY: unprintable top margin, device pixels
};

// Windows orientation codes as stored in the settings file.
inline constexpr int kOrientationPortrait = 1;
inline constexpr int kOrientationLandscape = 2;
// Windows paper code for A4, the settings default.
inline constexpr int kPaperCodeA4 = 9;

class PrinterDevice {
public:
    virtual ~PrinterDevice() = default;

    virtual PrinterCaps caps() const = 0;
    // Windows paper code of the current paper (9 = A4); 256 for a paper without one.
    virtual int paperCode() const = 0;
    virtual int orientation() const = 0; // 1 portrait, 2 landscape
    // The paper's form name as the 32-byte device-mode field holds it.
    virtual QString formName() const = 0;

    virtual QString printerName() const = 0;
    virtual QStringList printerNames() const = 0;
    // Index of printerName() in printerNames(), -1 if it is not there.
    virtual int printerIndex() const = 0;

    // Start-up: set paper and orientation. A code the printer does not know or cannot
    // take leaves that setting at the printer's default. Returns true when both took.
    virtual bool applyPaper(int paperCode, int orientation) = 0;

    // True for a printer that writes a PDF file: printOnePage needs a file name first.
    virtual bool writesFile() const = 0;
    virtual void setOutputFileName(const QString& fileName) = 0;

    // One print job of one sheet. `paint` draws with a painter whose origin is the
    // top-left corner of the printable area, in device pixels. Returns an empty
    // string on success, otherwise the error (the job is aborted, nothing comes out).
    virtual QString printOnePage(const std::function<void(QPainter&)>& paint) = 0;

    // Makes the named printer of printerNames() the device's printer, with its own
    // defaults; false (and no change) for a name it cannot take.
    virtual bool selectPrinter(const QString& name) { return name == printerName(); }

    // The Qt printer behind the device; null for devices that have none (test doubles).
    virtual QPrinter* qprinter() { return nullptr; }
};
