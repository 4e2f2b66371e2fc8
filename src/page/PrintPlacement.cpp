#include "page/PrintPlacement.h"

#include <cmath>

PrintPlacement computePrintPlacement(const PrinterCaps& caps, QSize page) {
    PrintPlacement p;
    const int w = page.width();
    const int h = page.height();
    // An empty page (print scale -100) would divide by zero below.
    if (w <= 0 || h <= 0 || caps.horzRes <= 0 || caps.vertRes <= 0)
        return p;
    if (caps.physicalOffsetX == 0) {
        p.offsetA = -1;
    } else {
        if (caps.physicalWidth <= 0)
            return p;
        // Twice the unprintable left margin in page pixels: the page is drawn that much
        // larger so that the stretch leaves the margin on both sides.
        const long double perPagePixel = (long double)caps.physicalWidth / w;
        p.offsetA = 2 * int(std::nearbyint((long double)caps.physicalOffsetX / perPagePixel));
    }
    p.picture = QSize(w + p.offsetA, h + p.offsetA);
    if (p.picture.width() <= 0 || p.picture.height() <= 0)
        return p;
    p.target = QRect(caps.physicalOffsetX, caps.physicalOffsetY, caps.horzRes, caps.vertRes);
    p.scaleX = double(caps.horzRes) / p.picture.width();
    p.scaleY = double(caps.vertRes) / p.picture.height();
    p.valid = true;
    return p;
}
