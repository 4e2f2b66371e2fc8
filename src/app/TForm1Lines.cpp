// The line commands, the cell moves and the cell editor Edit1 laid over the focused
// cell. The rules live in table/LineCommands; these handlers apply them to the window.
#include "app/TForm1.h"

#include "page/Canvas.h"
#include "platform/Cp932.h"
#include "table/LineCommands.h"
#include "table/NumberReading.h"
#include "table/TableCleanup.h"
#include "table/TableCsv.h"
#include "table/TableTotals.h"

#include <QAction>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// The table's pop-up menu, in order; "-" is a separator.
constexpr const char* kPopupMenu1Items[] = {
    "ALineCopy",   "ALinePaste",    "ALineCut", "-",           "ALineClear", "ALineDelete",
    "AMoveLineUp", "AMoveLineDown", "ASPBLine", "ASPBLineDel", "-",          "AdefaultLine",
};

// The editor's armed flag: 0 just placed (covered by the page), 1 in front and armed
// for Enter.
constexpr char kTag[] = "Tag";

// The table's text size on the page before the font size offset.
constexpr int kCellPointSize = 12;

bool isNumberColumn(int col) {
    return col == ColQuantity || col == ColUnitPrice || col == ColAmount;
}

} // namespace

void TForm1::createLineCommands() {
    const std::pair<const char*, void (TForm1::*)()> commands[] = {
        {"ALineCopy", &TForm1::ALineCopyExecute},
        {"ALinePaste", &TForm1::ALinePasteExecute},
        {"ALineCut", &TForm1::ALineCutExecute},
        {"ALineClear", &TForm1::ALineClearExecute},
        {"ALineDelete", &TForm1::ALineDeleteExecute},
        {"AMoveLineUp", &TForm1::AMoveLineUpExecute},
        {"AMoveLineDown", &TForm1::AMoveLineDownExecute},
        {"AdefaultLine", &TForm1::AdefaultLineExecute},
        {"ASPBLine", &TForm1::ASPLineINExecute},
        {"ASPBLineDel", &TForm1::ASPBLineDelExecute},
        {"AMUp", &TForm1::AMUpExecute},
        {"AMDown", &TForm1::AMDownExecute},
        {"AMLeft", &TForm1::AMLeftExecute},
        {"AMRight", &TForm1::AMRightExecute},
    };
    for (const auto& [name, handler] : commands) {
        const auto method = handler;
        ActionList1->bind(u8(name), [this, method] { (this->*method)(); });
    }

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (const char* name : kPopupMenu1Items) {
        if (QByteArray(name) == "-") {
            PopupMenu1->addSeparator();
            continue;
        }
        QAction* item = PopupMenu1->addAction(QString());
        item->setObjectName(u8(name) + QStringLiteral("1"));
        ActionList1->bindMenuItem(item, u8(name));
    }

    ui.Edit1->setProperty(kTag, 0);
    connect(ui.Edit1, &QLineEdit::textEdited, this, [this] { Edit1Change(); });
}

// ---- the cell editor ------------------------------------------------------------------

bool TForm1::isCellEditorShown() const {
    return !ui.Edit1->isHidden();
}

void TForm1::hideCellEditor() {
    hidePageEditor(ui.Edit1);
}

void TForm1::bringCellEditorForward() {
    ui.Edit1->raise();
    ui.Edit1->setProperty(kTag, 1);
}

void TForm1::PlaceCellEditor(int col, int row) {
    QLineEdit* editor = ui.Edit1;
    editor->resize(editor->width(), LineHeight - 1);
    // The text in the editor looks as it will on the page.
    QFont font(settings.FontName);
    font.setPixelSize(page::pointsToPixels(kCellPointSize + settings.FontSizeOffset));
    editor->setFont(font);
    ui.PB1->clearMarks();

    int left = 0, right = 0;
    const bool columnInTable =
        ColumnSpan(colWidths, col, ui.PB1->width(), settings.Margin, left, right);
    if (columnInTable) {
        editor->move(ui.PB1->x() + left, editor->y());
        editor->resize(right - left - 1, editor->height());
    }
    const bool cellInTable = columnInTable && StringGrid1.isValidRow(row);
    if (cellInTable) {
        const int top = TablePosition + row * LineHeight;
        // The editor lies in the scrolled content beside the page, so it follows scrolling.
        editor->move(ui.PB1->x() + left, ui.PB1->y() + top);
        // Just inside the cell's lines: a painter's outline of a rectangle takes one pixel
        // more than the rectangle on the right and at the bottom.
        const QRect frame(QPoint(left + 1, top + 1), QPoint(right - 2, top + LineHeight - 2));
        ui.PB1->addMark([frame](QPainter& painter) {
            painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(frame);
        });
        editor->setText(cellEditorText(row, col));
        // As an edit box selects its text when it takes the focus: the first key typed
        // replaces the cell, a second click or a caret key edits inside it.
        editor->selectAll();
        // Covered by the page until the first key or a second click brings it forward.
        editor->stackUnder(ui.PB1);
        editor->setProperty(kTag, 0);
        editor->show();
        editor->setFocus(Qt::OtherFocusReason);
    }
    // The repaint takes away an earlier frame and draws this one over the fresh page.
    if (isPageViewShown())
        ui.PB1->repaint();
}

QString TForm1::cellEditorText(int row, int col) const {
    // A blank cell is empty to the user too: the " " a stored table gives back for an
    // empty cell must not end up in front of what is typed.
    const QByteArray& cell = StringGrid1.cell(row, col);
    return IsBlankCell(cell) ? QString() : cp932::decodeShown(cell);
}

void TForm1::Edit1Change() {
    if (!StringGrid1.isValidRow(SelRow) || SelCol < 0 || SelCol >= kTableColumnCount)
        return;
    const QString typed = ui.Edit1->text();
    const bool isNumber = SelRow > 0 && isNumberColumn(SelCol);
    const TableRow before = StringGrid1.row(SelRow);
    StringGrid1.setCell(SelRow, SelCol, cp932::encode(isNumber ? NumberCellText(typed) : typed));
    DropStaleAmount(StringGrid1, SelRow, before);
    storeTableInRecord();
}

void TForm1::showFocusedCellInEditor() {
    if (isCellEditorShown())
        ui.Edit1->setText(cellEditorText(SelRow, SelCol));
}

bool TForm1::Edit1Event(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        return Edit1KeyDown(static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
        Edit1KeyUp(static_cast<QKeyEvent*>(event));
        return false;
    case QEvent::InputMethod: {
        // A composition is typing too: the editor comes forward for it.
        const auto* im = static_cast<QInputMethodEvent*>(event);
        if (!im->commitString().isEmpty() || !im->preeditString().isEmpty())
            bringCellEditorForward();
        return false;
    }
    default:
        return false;
    }
}

bool TForm1::Edit1KeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        // Tab walks the table's cells; left to the window it would hand the keys to the
        // side panel, which suspends the commands.
        tabToNeighbourCell(event->key() == Qt::Key_Backtab ||
                           event->modifiers().testFlag(Qt::ShiftModifier));
        return true;
    }
    const QLineEdit* editor = ui.Edit1;
    // Decided before the editor moves its caret.
    PendingMoveLeft =
        event->key() == Qt::Key_Left && editor->cursorPosition() == 0 && !editor->hasSelectedText();
    PendingMoveRight = event->key() == Qt::Key_Right &&
                       editor->cursorPosition() == editor->text().length() &&
                       !editor->hasSelectedText();
    return !event->text().isEmpty() && Edit1KeyPress(event);
}

bool TForm1::Edit1KeyPress(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool moveDown = enter && ui.Edit1->property(kTag).toInt() != 0;
    if (moveDown)
        AMDownExecute();
    // After the move too: the editor on the new line is in front and armed, so every
    // further Enter moves on.
    bringCellEditorForward();
    return moveDown;
}

void TForm1::Edit1KeyUp(QKeyEvent* event) {
    // A held key repeats its press, not its release.
    if (event->isAutoRepeat())
        return;
    if (PendingMoveLeft) {
        PendingMoveLeft = false;
        AMLeftExecute();
    } else if (PendingMoveRight) {
        PendingMoveRight = false;
        AMRightExecute();
    }
}

// ---- enabling and the menus --------------------------------------------------------------

void TForm1::UpdateLineActions(int row, int col) {
    const LineActionStates states = LineActionStatesFor(StringGrid1, row, col, LineClipboard);
    const std::pair<const char*, bool> enabled[] = {
        {"ALineCopy", states.copy},     {"ALinePaste", states.paste},
        {"ALineCut", states.cut},       {"ALineDelete", states.del},
        {"AMoveLineUp", states.moveUp}, {"AMoveLineDown", states.moveDown},
    };
    for (const auto& [name, on] : enabled)
        ActionList1->action(u8(name))->setEnabled(on);
}

void TForm1::NClick() {
    UpdateLineActions(SelRow, SelCol);
    ActionList1->setSuspended(false);
}

// ---- moves between cells -------------------------------------------------------------------

void TForm1::moveFocusedCell(int rowStep, int colStep) {
    SelRow += rowStep;
    SelCol += colStep;
    if (rowStep != 0)
        RowSelected.SelectOnlyRow(SelRow);
    hideCellEditor();
    PlaceCellEditor(SelCol, SelRow);
}

void TForm1::tabToNeighbourCell(bool back) {
    if (!isPageViewShown())
        return;
    // Along the row, from its last cell on to the first cell of the next line and back.
    int row = SelRow;
    int col = SelCol + (back ? -1 : 1);
    if (col >= kTableColumnCount) {
        col = 0;
        ++row;
    } else if (col < 0) {
        col = kTableColumnCount - 1;
        --row;
    }
    if (StringGrid1.isValidRow(row))
        moveFocusedCell(row - SelRow, col - SelCol);
}

void TForm1::AMUpExecute() {
    if (isPageViewShown() && SelRow > 0)
        moveFocusedCell(-1, 0);
}

void TForm1::AMDownExecute() {
    if (isPageViewShown() && SelRow < StringGrid1.lineCount())
        moveFocusedCell(1, 0);
}

void TForm1::AMLeftExecute() {
    if (isPageViewShown() && isCellEditorShown() && SelCol > 0)
        moveFocusedCell(0, -1);
}

void TForm1::AMRightExecute() {
    if (isPageViewShown() && isCellEditorShown() && SelCol < kTableColumnCount - 1)
        moveFocusedCell(0, 1);
}

// ---- line commands -------------------------------------------------------------------------

void TForm1::storeTableInRecord() {
    // The amounts are brought up to date first, so the record never keeps an amount
    // that belongs to a quantity or price typed over since.
    SGkei(StringGrid1, SalesTaxRate);
    CDS2.edit();
    CDS2.setText("Sum", GridSaveCSV(StringGrid1));
}

void TForm1::afterTableChange() {
    storeTableInRecord();
    showFocusedCellInEditor();
    RepaintPage();
}

void TForm1::ALineCopyExecute() {
    CopyLine(StringGrid1, SelRow, LineClipboard);
}

void TForm1::ALineCutExecute() {
    if (CopyLine(StringGrid1, SelRow, LineClipboard))
        ALineClearExecute();
}

void TForm1::ALinePasteExecute() {
    if (PasteLine(StringGrid1, SelRow, LineClipboard))
        afterTableChange();
}

void TForm1::ALineClearExecute() {
    ClearSelectedLines(StringGrid1, RowSelected);
    afterTableChange();
}

void TForm1::ALineDeleteExecute() {
    DeleteSelectedLines(StringGrid1, RowSelected);
    afterTableChange();
}

void TForm1::moveSelectedLines(bool up) {
    hideCellEditor();
    hidePageEditor(ui.Edit2);
    if (!isPageViewShown())
        return;
    const bool moved = up ? MoveSelectedLinesUp(StringGrid1, RowSelected)
                          : MoveSelectedLinesDown(StringGrid1, RowSelected);
    if (!moved)
        return;
    SelRow += up ? -1 : 1;
    storeTableInRecord();
    PlaceCellEditor(SelCol, SelRow);
}

void TForm1::AMoveLineUpExecute() {
    moveSelectedLines(true);
}

void TForm1::AMoveLineDownExecute() {
    moveSelectedLines(false);
}

void TForm1::AdefaultLineExecute() {
    colWidths = ColumnWidths{220, 40, 40, 90, 90};
    if (isPageViewShown())
        RepaintPage();
}

void TForm1::ASPLineINExecute() {
    ::ASPBLine(StringGrid1);
    RepaintPage();
}

void TForm1::ASPBLineDelExecute() {
    ::ASPBLineDel(StringGrid1);
    RepaintPage();
}
