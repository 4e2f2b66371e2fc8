// The page as the editing surface: the paint box's mouse events, the hover frames and
// hints, the drags, and the overlay editors that write back to the record when they
// lose the focus. The rules live in interaction/PageHitTest and interaction/PageMouse.
#include "app/TForm1.h"

#include "page/PageRenderer.h"
#include "platform/Cp932.h"
#include "platform/ImeReading.h"
#include "table/NumberReading.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>

using interaction::Box;
using interaction::PageFrame;
using interaction::PressResult;

namespace {

const QDate kEarliestDate(2014, 1, 1);
constexpr int kDefaultPitch = 22;
constexpr const char* kDateFields[] = {"sday", "day"};

QDateEdit* datePicker(const MainWindowUi& ui, int i) {
    return i == 0 ? ui.DateTimePicker1 : ui.DateTimePicker2;
}

} // namespace

void TForm1::connectPageInteraction() {
    connect(ui.PB1, &PaintBox::mousePressed, this, &TForm1::PB1MouseDown);
    connect(ui.PB1, &PaintBox::mouseMoved, this, &TForm1::PB1MouseMove);
    connect(ui.PB1, &PaintBox::mouseReleased, this, &TForm1::PB1MouseUp);
    connect(ui.PB1, &PaintBox::mouseDoubleClicked, this, &TForm1::PB1DblClick);
    // A frame belongs to the block under the pointer; it goes when the pointer leaves the
    // page, also for a dialog opened over it.
    connect(ui.PB1, &PaintBox::mouseLeft, this, [this] {
        if (hoverFrame_.isEmpty())
            return;
        hoverFrame_ = QRect();
        repaintKeepingCellFrame();
    });

    for (int i = 0; i < 2; ++i) {
        QDateEdit* picker = datePicker(ui, i);
        picker->setMinimumDate(kEarliestDate);
        connect(picker, &QDateEdit::dateChanged, this, [this, i] { pickerDateChanged_[i] = true; });
    }

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    QAction* item = PopupMenu2->addAction(QString());
    item->setObjectName(QStringLiteral("aa1"));
    ActionList1->bindMenuItem(item, QStringLiteral("Ashowform3"));
}

PageFrame TForm1::pageFrame() const {
    return PageFrame::of(currentPageModel(), StringGrid1.lineCount());
}

// ---- the paint box's mouse --------------------------------------------------------------

void TForm1::PB1MouseDown(QMouseEvent* event) {
    ScrollBox1MouseActivate();
    // An open overlay editor loses the focus here and writes back.
    ui.ScrollBox1->setFocus(Qt::MouseFocusReason);
    ActionList1->setSuspended(false);

    const QPoint at = event->position().toPoint();
    const QPoint global = event->globalPosition().toPoint();
    if (event->button() == Qt::LeftButton)
        PageDragAnchor = global;
    const PageFrame frame = pageFrame();
    const PressResult r =
        pageMouse.press(event->button(), event->modifiers(), at.x(), at.y(), frame,
                        ui.Edit2->height(), ui.CheckBox2->isChecked(), SelRow, SelCol, RowSelected);
    if (r.borderDrag)
        return;

    if (r.updateLineActions)
        UpdateLineActions(r.row, r.col);
    if (r.senderMenu)
        PopupMenu2->popup(global);
    if (r.placeCellEditor)
        PlaceCellEditor(r.col, r.row);
    if (r.armCellEditor) {
        // A second click edits inside the cell: the caret at its end, nothing selected.
        ui.Edit1->deselect();
        ui.Edit1->end(false);
        bringCellEditorForward();
    }
    if (r.lineMenu)
        PopupMenu1->popup(global);

    ui.Edit2->setText(cp932::decodeShown(CDS2.asText("name")));
    if (r.openName) {
        placeOverlay(ui.Edit2, frame.nameArea(ui.Edit2->height()));
        ui.Edit2->show();
        ui.Edit2->setFocus(Qt::MouseFocusReason);
    } else {
        ui.Edit2->hide();
    }
    const std::pair<bool, Box> pickerAreas[] = {
        {r.showCreationDate, frame.creationDatePress()},
        {r.showDeliveryDate, frame.deliveryDateArea()},
    };
    for (int i = 0; i < 2; ++i) {
        QDateEdit* picker = datePicker(ui, i);
        const auto& [show, area] = pickerAreas[i];
        if (show && picker->isHidden())
            loadDatePicker(i);
        picker->setVisible(show);
        if (show)
            placeOverlay(picker, area);
    }
    if (r.remarks == PressResult::Remarks::Open) {
        placeOverlay(ui.Memo2, frame.remarksArea());
        ui.Memo2->setPlainText(cp932::decodeShown(CDS2.asText("memo")));
        ui.Memo2->show();
        ui.Memo2->setFocus(Qt::MouseFocusReason);
    } else if (r.remarks == PressResult::Remarks::Hide) {
        ui.Memo2->hide();
    }
}

void TForm1::PB1MouseMove(QMouseEvent* event) {
    // The release can have gone to a window opened meanwhile, such as the sender dialog
    // of a double click: a move without a held button ends the drags as it would have.
    if (event->buttons() == Qt::NoButton &&
        (pageMouse.PageDrag || pageMouse.anyBorderDrag() || pageMouse.SenderEdgeDrag))
        PB1MouseUp(event);

    const QPoint at = event->position().toPoint();
    ui.PB1->setToolTip(QString());
    ui.statusPanels[4]->clear();
    ui.statusPanels[5]->clear();

    const PageFrame frame = pageFrame();
    const int pitch = ReadInteger(ui.Edit11->text().toLatin1(), kDefaultPitch);
    const interaction::Hover hover = interaction::hoverAt(
        frame, at.x(), at.y(), ui.Edit2->height(), pitch, StringGrid1.lineCount(),
        [this](int col, int row) { return StringGrid1.cell(row, col); });
    ui.statusPanels[4]->setText(hover.position);
    ui.statusPanels[5]->setText(cp932::decodeShown(hover.cellText));
    if (!hover.hint.isEmpty()) {
        ui.statusPanels[5]->setText(hover.hint);
        if (showHints_)
            ui.PB1->setToolTip(hover.hint);
    }
    const QRect framed = hover.frames.empty() ? QRect() : hover.frames.back().rect();
    const bool hoverChanged = framed != hoverFrame_;
    hoverFrame_ = framed;

    if (pageMouse.PageDrag) {
        // The page follows the pointer like a sheet of paper.
        const QPoint global = event->globalPosition().toPoint();
        QScrollBar* h = ui.ScrollBox1->horizontalScrollBar();
        QScrollBar* v = ui.ScrollBox1->verticalScrollBar();
        h->setValue(h->value() + PageDragAnchor.x() - global.x());
        v->setValue(v->value() + PageDragAnchor.y() - global.y());
        PageDragAnchor = global;
    }
    PointerFormY = ui.PB1->mapTo(centralWidget(), at).y();

    const interaction::DragResult dragged =
        pageMouse.drag(at.x(), frame, colWidths, settings.SenderSpaceWidth);
    ui.PB1->setCursor(hover.splitCursor ? Qt::SplitHCursor : Qt::ArrowCursor);
    if (!isPageViewShown())
        return;
    if (dragged.widthsChanged || dragged.senderEdgeChanged)
        RepaintPage();
    else if (hoverChanged)
        repaintKeepingCellFrame();
}

void TForm1::repaintKeepingCellFrame() {
    // The cell has not moved: its frame stays with the page drawn afresh.
    ui.PB1->repaint();
}

void TForm1::PB1MouseUp(QMouseEvent*) {
    if (pageMouse.release()) {
        CDS2.edit();
        storeColumnWidths();
        RepaintPage();
    }
}

void TForm1::PB1DblClick(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ui.ScrollBox1->setFocus(Qt::MouseFocusReason);
        ActionList1->setSuspended(false);
        pageMouse.PageDrag = true;
        const QPoint at = ui.PB1->mapFromGlobal(event->globalPosition().toPoint());
        if (!pageMouse.SenderEdgeDrag && pageFrame().senderDoubleClick().contains(at.x(), at.y()))
            ActionList1->action(QStringLiteral("Ashowform3"))->trigger();
    }
    // The second click of a pair comes only as this event, yet it is a press too: on the
    // focused cell it brings the editor forward, armed and with the keys.
    PB1MouseDown(event);
}

void TForm1::hidePageEditor(QWidget* editor) {
    // Hand the focus to the page view first, so that it does not wander into the side
    // panel, whose controls suspend the commands and clear the selection when they get it.
    const QWidget* focus = focusWidget();
    if (focus && (focus == editor || editor->isAncestorOf(focus)))
        ui.ScrollBox1->setFocus(Qt::OtherFocusReason);
    editor->hide();
}

void TForm1::ScrollBox1MouseActivate() {
    hideCellEditor();
    ui.Edit1->clear();
}

void TForm1::ScrollBox1MouseDown() {
    RowSelected.ClearRowSelection();
    RepaintPage();
}

void TForm1::loadDatePicker(int i) {
    QDateEdit* picker = datePicker(ui, i);
    const QDateTime stored = CDS2.isEmpty() ? QDateTime() : CDS2.asDateTime(kDateFields[i]);
    const QSignalBlocker loading(picker);
    picker->setDate(stored.isValid() && stored.date() > kEarliestDate ? stored.date()
                                                                      : QDate::currentDate());
    pickerDateChanged_[i] = false;
}

void TForm1::storeChangedDates() {
    for (int i = 0; i < 2; ++i) {
        if (!pickerDateChanged_[i])
            continue;
        const QDateTime stored = CDS2.asDateTime(kDateFields[i]);
        const QTime time = stored.isValid() ? stored.time() : QTime(0, 0);
        CDS2.setDateTime(kDateFields[i], QDateTime(datePicker(ui, i)->date(), time));
        pickerDateChanged_[i] = false;
    }
}

void TForm1::placeOverlay(QWidget* editor, const Box& area) {
    // The editors lie in the scrolled content beside the page, so they move with it.
    editor->setGeometry(area.rect().translated(ui.PB1->pos()));
    editor->raise();
}

// ---- the overlay editors' focus --------------------------------------------------------------

bool TForm1::overlayEditorEvent(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress &&
        (watched == ui.pageArea || watched == ui.ScrollBox1->viewport())) {
        ScrollBox1MouseActivate();
        ScrollBox1MouseDown();
        return false;
    }
    if (type != QEvent::FocusIn && type != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    // A menu, a calendar pop-up or another window takes the focus only for a while.
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return false;
    QWidget* editors[] = {ui.Edit1, ui.Edit2, ui.Memo2, ui.DateTimePicker1, ui.DateTimePicker2};
    if (std::find(std::begin(editors), std::end(editors), watched) == std::end(editors))
        return false;
    auto* editor = static_cast<QWidget*>(watched);
    if (type == QEvent::FocusOut) {
        if (closingOverlayEditors_)
            return false;
        EditExit(editor);
    } else if (editor == ui.Edit2) {
        EditEnter();
    } else if (editor == ui.Memo2) {
        Memo2Enter();
    }
    return false;
}

void TForm1::EditEnter() {
    // A name already written keeps its row unless a new reading replaces it; an empty
    // name gets its row afresh.
    NameReading = ui.Edit2->text().isEmpty() ? QByteArray() : CDS2.asText("cate");
    NameReadingOf = firstCharacter(ui.Edit2->text());
    if (auto* ime = ui.Edit2->findChild<ImeReading*>(QString(), Qt::FindDirectChildrenOnly))
        ime->clearTyped();
}

void TForm1::Memo2Enter() {
    ActionList1->setSuspended(true);
}

void TForm1::EditExit(QWidget* sender) {
    if (ui.Memo2->isVisible())
        ui.Memo2->hide();
    if (sender == ui.Memo2)
        ActionList1->setSuspended(false);
    writeBackEditor(sender);
}

void TForm1::writeBackEditor(QWidget* sender) {
    if (NameReading.isEmpty())
        NameReading = cp932::encode(QStringLiteral("他"));
    CDS2.edit();
    if (sender == ui.Edit2) {
        CDS2.setText("name", cp932::encode(ui.Edit2->text()));
        CDS2.setText("cate", NameReading);
        // A name typed through the input method is offered again by its reading.
        if (auto* ime = ui.Edit2->findChild<ImeReading*>(QString(), Qt::FindDirectChildrenOnly))
            customerIndex.rememberReading(ui.Edit2->text(), ime->readingOfTyped(ui.Edit2->text()));
    }
    // The values in effect, also where a typed value lies beyond its spin's range.
    CDS2.setInteger("lineheight", LineHeight);
    CDS2.setInteger("linecount", StringGrid1.rowCount());
    storeColumnWidths();
    if (sender == ui.DateTimePicker1 || sender == ui.DateTimePicker2)
        storeChangedDates();
    NumberUnnumberedRecord();
    if (sender == ui.Memo2)
        CDS2.setText("memo", cp932::encodeLines(ui.Memo2->toPlainText()));
}

std::array<QWidget*, 4> TForm1::overlayEditors() const {
    return {ui.Edit2, ui.Memo2, ui.DateTimePicker1, ui.DateTimePicker2};
}

QWidget* TForm1::focusedOverlayEditor() const {
    // The window's focus child: kept while a menu, a shortcut's dialog or another window
    // has the keyboard for a while.
    const QWidget* focus = focusWidget();
    if (!focus)
        return nullptr;
    for (QWidget* editor : overlayEditors()) {
        if ((focus == editor || editor->isAncestorOf(focus)) && editor->isVisible())
            return editor;
    }
    return nullptr;
}

void TForm1::TakeEditorText() {
    if (QWidget* editor = focusedOverlayEditor())
        writeBackEditor(editor);
    if (auto* box = qobject_cast<QLineEdit*>(sidePanelFocus_))
        applyPanelBox(box);
}

void TForm1::CloseOverlayEditors() {
    TakeEditorText();
    const QWidget* focused = focusedOverlayEditor();
    // Written already; leaving an editor must not write it again, into another record.
    closingOverlayEditors_ = true;
    for (QWidget* editor : overlayEditors())
        hidePageEditor(editor);
    closingOverlayEditors_ = false;
    // The remarks held the commands' keys; leaving them gives the keys back.
    if (focused == ui.Memo2)
        ActionList1->setSuspended(false);
}

void TForm1::storeColumnWidths() {
    const int widths[] = {colWidths.ColWidth1, colWidths.ColWidth2, colWidths.ColWidth3,
                          colWidths.ColWidth4, colWidths.ColWidth5};
    for (int i = 0; i < 5; ++i)
        CDS2.setInteger(QByteArray("line") + QByteArray::number(i + 1), widths[i]);
}
