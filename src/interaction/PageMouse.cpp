#include "interaction/PageMouse.h"

namespace interaction {

bool PageMouse::anyBorderDrag() const {
    for (bool on : BorderDrag)
        if (on)
            return true;
    return false;
}

void PageMouse::stopDrags() {
    PageDrag = false;
    BorderDrag = {};
    SenderEdgeDrag = false;
}

PressResult PageMouse::press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y,
                             const PageFrame& f, int nameHeight, bool remarksShown, int& SelRow,
                             int& SelCol, RowSelection& selection) {
    PressResult out;
    const bool left = button == Qt::LeftButton;
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);

    if (left) {
        PageDrag = true;
        const int border = f.borderZoneAt(x, y, f.LH);
        if (border > 0)
            BorderDrag[size_t(border - 1)] = true;
        if (f.inSenderEdge(x, y))
            SenderEdgeDrag = true;
        if (anyBorderDrag() || SenderEdgeDrag)
            PageDrag = false;
    }
    if (anyBorderDrag()) {
        out.borderDrag = true;
        return out;
    }

    const int c = f.columnAt(x);
    const int r = f.rowAt(y);
    out.col = c;
    out.row = r;
    if (!ShiftChain)
        ShiftAnchorRow = SelRow;

    if (button == Qt::RightButton) {
        out.updateLineActions = true;
        out.senderMenu = f.senderMenu().contains(x, y);
        if (!selection.IsRowSelected(r))
            selection.SelectOnlyRow(r);
        out.placeCellEditor = true;
        out.lineMenu = !out.senderMenu;
    } else if (c == SelCol && r == SelRow) {
        // A second press on the current cell.
        PageDrag = false;
        out.placeCellEditor = true;
        if (left && ctrl) {
            selection.ToggleRowSelection(r);
        } else {
            selection.SelectOnlyRow(r);
            out.armCellEditor = true;
        }
    } else if (left) {
        if (ctrl)
            selection.ToggleRowSelection(r);
        else
            selection.SelectOnlyRow(r);
        out.placeCellEditor = true;
    }

    if (left && shift) {
        selection.SelectRowRange(ShiftAnchorRow, r);
        out.placeCellEditor = true;
        out.armCellEditor = false; // placing again takes the arming back
        ShiftChain = true;
    } else {
        ShiftChain = false;
    }
    SelCol = c;
    SelRow = r;

    out.openName = f.nameArea(nameHeight).contains(x, y);
    out.showCreationDate = f.creationDatePress().contains(x, y);
    out.showDeliveryDate = f.deliveryDateArea().contains(x, y);
    if (remarksShown)
        out.remarks = f.remarksArea().contains(x, y) ? PressResult::Remarks::Open
                                                     : PressResult::Remarks::Hide;
    return out;
}

DragResult PageMouse::drag(int x, const PageFrame& f, ColumnWidths& w, int& senderSpaceWidth) {
    DragResult out;
    const auto& E = f.E;
    auto apply = [&](int& leftWidth, int newLeft, int* rightWidth, int newRight) {
        leftWidth = newLeft;
        if (rightWidth)
            *rightWidth = newRight;
        out.widthsChanged = true;
    };
    if (BorderDrag[0] && x > f.M + 3 && E[2] - x > 3)
        apply(w.ColWidth1, x, &w.ColWidth2, E[2] - x);
    if (BorderDrag[1] && x > E[1] + 3 && E[3] - x > 3)
        apply(w.ColWidth2, x - E[1], &w.ColWidth3, E[3] - x);
    if (BorderDrag[2] && x > E[2] + 3 && E[4] - x > 3)
        apply(w.ColWidth3, x - E[2], &w.ColWidth4, E[4] - x);
    if (BorderDrag[3] && x > E[3] + 3 && E[5] - x > 3)
        apply(w.ColWidth4, x - E[3], &w.ColWidth5, E[5] - x);
    if (BorderDrag[4] && x > E[4] + 3 && x < f.R - 3)
        apply(w.ColWidth5, x - E[4], nullptr, 0);
    if (SenderEdgeDrag) {
        // Dragged off the page, the edge would be out of reach for good.
        senderSpaceWidth = senderSpaceWidthOnPage(qint64(f.R) - x, f.W, f.M);
        out.senderEdgeChanged = true;
    }
    return out;
}

bool PageMouse::release() {
    const bool borders = anyBorderDrag();
    stopDrags();
    return borders;
}

} // namespace interaction
