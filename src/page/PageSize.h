#pragma once
// The page's size in page pixels, taken from the printer's printable area: 3 pixels
// per millimetre, enlarged or reduced by the print scale.
#include "platform/PrinterDevice.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <optional>

// Largest page edge handed to the widget (Qt's widget size limit); an absurd scale
// typed into the box must not overflow.
inline constexpr int kMaxPageEdge = 16777215;

struct PageSizeResult {
    // Non-empty when the scale text is not an integer: the window shows it in the
    // error box and keeps the page as it is; the fields below are then unset.
    QString error;
    QSize page;         // W x H of PB1
    QString statusText; // status bar panel 0: printable area in mm, unscaled
    int pl2Width = 0;   // Pl2: PB1's left + W + 10
    int pl2Top = 0;     // Pl2: PB1's top + H
};

// The print-scale text read by the table's integer reading, but without a default:
// nullopt when it does not read as an integer.
std::optional<int> readPrintScale(const QString& text);

// The conversion error for a scale text: "'%s' は整数ではありません".
QString printScaleError(const QString& text);

// UpdatePageSize's computation. `pb1Pos` is PB1's place inside the scroll box.
PageSizeResult computePageSize(const PrinterCaps& caps, const QString& printScaleText,
                               QPoint pb1Pos);
