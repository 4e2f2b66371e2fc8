#pragma once
// What the page's mouse does, without widgets: presses select rows and say which editor
// to open, drags move the column borders or the sender block's edge, and a left drag
// anywhere else scrolls the page. The window turns Qt's mouse events into these calls
// and applies the results to its widgets.
#include "interaction/PageHitTest.h"
#include "table/ColumnWidths.h"
#include "table/RowSelection.h"

#include <Qt>

#include <array>

namespace interaction {

// What a press asks of the window, in this order: the line commands' states for the
// cell, the sender menu, the cell editor (placed, perhaps armed), the line menu, then
// the overlay editors.
struct PressResult {
    bool borderDrag = false; // a column border was grabbed: nothing else happens
    int col = -1, row = -1;
    bool updateLineActions = false;
    bool senderMenu = false;
    bool placeCellEditor = false;
    bool armCellEditor = false;
    bool lineMenu = false;
    bool openName = false;
    bool showCreationDate = false;
    bool showDeliveryDate = false;
    enum class Remarks { Keep, Open, Hide } remarks = Remarks::Keep;
};

// The part of a move that drags.
struct DragResult {
    bool widthsChanged = false;
    bool senderEdgeChanged = false;
};

class PageMouse {
public:
    int ShiftAnchorRow = 0;
    bool ShiftChain = false;
    bool PageDrag = false;
    std::array<bool, 5> BorderDrag{}; // BorderDrag1..BorderDrag5
    bool SenderEdgeDrag = false;

    // A press at (x, y). `SelRow`/`SelCol` are the current cell, moved to the pressed
    // one unless a border drag starts; `selection` gets the press's row selection.
    PressResult press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y,
                      const PageFrame& frame, int nameHeight, bool remarksShown, int& SelRow,
                      int& SelCol, RowSelection& selection);

    // Applies the drags that are on to the point; E1..E5 are taken before the move.
    DragResult drag(int x, const PageFrame& frame, ColumnWidths& widths, int& senderSpaceWidth);

    // The end of every drag; true when column borders were dragged, whose widths the
    // record then stores.
    bool release();

    bool anyBorderDrag() const;
    // Everything stops, as when the side panel takes the focus.
    void stopDrags();
};

} // namespace interaction
