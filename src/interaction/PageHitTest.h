#pragma once
// Where a page point lies: its table cell, the blocks a press opens an editor on, the
// grab zones of the column borders and the sender block's edge, and what the status
// bar tells about it. All positions are page pixels; every test is strict, so a point
// on an edge belongs to neither side.
#include "page/PageGeometry.h"
#include "page/PageModel.h"

#include <QByteArray>
#include <QRect>
#include <QString>

#include <array>
#include <vector>

namespace interaction {

// A rectangle by its four edges, tested strictly.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool contains(int x, int y) const { return x > left && x < right && y > top && y < bottom; }
    // The same rectangle for widgets and painters.
    QRect rect() const { return QRect(left, top, right - left, bottom - top); }
    bool operator==(const Box&) const = default;
};

// The page's positions for the current record with the tests a pointer needs.
struct PageFrame : page::PageGeometry {
    static PageFrame of(const page::PageModel& model, int lineCount) {
        return PageFrame{page::PageGeometry::of(model, lineCount)};
    }

    // -1 left of M, right of R and on every border; 0..5 inside a column.
    int columnAt(int x) const;
    // -1 on or above the table's top; 0 the titles, 1..N the lines, beyond N below.
    int rowAt(int y) const;

    // `nameHeight` is the name editor's current height.
    Box nameArea(int nameHeight) const;
    Box creationDatePress() const;
    Box creationDateHover() const;
    Box deliveryDateArea() const;
    Box remarksArea() const;
    Box senderHover() const; // its left test is widened, see inSenderHover
    Box senderDoubleClick() const;
    Box senderMenu() const;

    bool inSenderHover(int x, int y) const;
    bool inSenderEdge(int x, int y) const;
    // The border 1..5 whose grab zone holds the point, 0 for none. The zones reach down
    // (pitch + 1) x N below the table's top.
    int borderZoneAt(int x, int y, int pitch) const;
};

// What the pointer over a point shows.
struct Hover {
    QString position;         // status panel 4, "04/21:3"; empty off the table
    QByteArray cellText;      // status panel 5 over a cell
    std::vector<Box> frames;  // the blocks under the pointer, framed on screen
    QString hint;             // panel 5 and the tooltip; empty for none
    bool splitCursor = false; // over a border or the sender edge
};

// `cellText(col, row)` gives a cell of the table; `pitch` is the line pitch of the side
// panel's field, used for the border zones' reach.
template <typename CellText>
Hover hoverAt(const PageFrame& frame, int x, int y, int nameHeight, int pitch, int lastRow,
              CellText cellText);

// The sender block's width held so that its edge SX = R - width lies on a page
// `pageWidth` pixels wide (0 to W - 1), where it can always be seen and grabbed. A width
// already there comes back as it is; `width` may be anything a file holds.
int senderSpaceWidthOnPage(qint64 width, int pageWidth, int margin);

// Panel 4's text for a cell: row and count with two digits at least, then the column.
QString positionText(int row, int rowCount, int col);

// The hints of the page's blocks.
extern const char* const kHintEdit;
extern const char* const kHintDeliveryDate;
extern const char* const kHintSender;

template <typename CellText>
Hover hoverAt(const PageFrame& f, int x, int y, int nameHeight, int pitch, int lastRow,
              CellText cellText) {
    Hover h;
    const int c = f.columnAt(x);
    const int r = f.rowAt(y);
    if (r >= 0 && c >= 0 && r <= lastRow) {
        h.position = positionText(r, lastRow + 1, c);
        h.cellText = cellText(c, r);
    }
    auto frameIf = [&](bool inside, const Box& box, const char* hint) {
        if (!inside)
            return;
        h.frames.push_back(box);
        h.hint = QString::fromUtf8(hint);
    };
    frameIf(f.nameArea(nameHeight).contains(x, y), f.nameArea(nameHeight), kHintEdit);
    frameIf(f.creationDateHover().contains(x, y), f.creationDateHover(), kHintEdit);
    frameIf(f.inSenderHover(x, y), f.senderHover(), kHintSender);
    frameIf(f.deliveryDateArea().contains(x, y), f.deliveryDateArea(), kHintDeliveryDate);
    h.splitCursor = f.borderZoneAt(x, y, pitch) != 0 || f.inSenderEdge(x, y);
    return h;
}

} // namespace interaction
