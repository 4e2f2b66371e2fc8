#pragma once
// Where and how large the page lands on the sheet: the page (plus the offset a) is
// stretched over the printable area, starting PHYSICALOFFSETX/Y inside it.
#include "platform/PrinterDevice.h"

#include <QRect>
#include <QSize>

struct PrintPlacement {
    // False when the page (or the page plus a) has no area: nothing can be printed.
    bool valid = false;
    int offsetA = 0;   // a, page pixels
    QSize picture;     // (W + a) x (H + a), page pixels
    QRect target;      // device pixels, relative to the printable area
    double scaleX = 0; // device pixels per page pixel
    double scaleY = 0;
};

PrintPlacement computePrintPlacement(const PrinterCaps& caps, QSize page);
