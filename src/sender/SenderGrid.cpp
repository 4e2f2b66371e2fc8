#include "sender/SenderGrid.h"

#include "page/Canvas.h"
#include "platform/Cp932.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

Qt::Alignment horizontalFor(int align) {
    switch (page::senderLayout(align)) {
    case page::TextLayout::Centred:
        return Qt::AlignHCenter;
    case page::TextLayout::Right:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

} // namespace

// Draws the cells as the grid's own: fixed cells on the button face, text cells filled
// with the selection or window colour and their text placed by the line's alignment.
class SenderCellDelegate : public QStyledItemDelegate {
public:
    explicit SenderCellDelegate(SenderGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QPalette& pal = option.palette;
        const QString text = index.data(Qt::DisplayRole).toString();
        painter->save();
        painter->setFont(option.font);
        if (index.column() == 0) {
            // Fixed cells cannot be selected, but they are not disabled-looking either.
            painter->fillRect(option.rect, pal.color(QPalette::Active, QPalette::Button));
            painter->setPen(pal.color(QPalette::Active, QPalette::ButtonText));
            painter->drawText(option.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
        } else {
            const bool selected = option.state & QStyle::State_Selected;
            painter->fillRect(option.rect,
                              pal.color(selected ? QPalette::Highlight : QPalette::Base));
            painter->setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
            // Narrowed by 2 at the top and the right, the text from the top edge.
            const QRect box = option.rect.adjusted(0, 2, -2, 0);
            painter->setClipRect(box);
            painter->drawText(box, horizontalFor(grid_->alignmentOf(index.row())) | Qt::AlignTop,
                              text);
        }
        painter->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setFont(option.font);
        grid_->editorCreated(editor, index.row());
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (line->text() != text)
            line->setText(text);
    }

    // The cell keeps what CP932 can hold of the typed text, as the line itself does.
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        const QString typed = static_cast<QLineEdit*>(editor)->text();
        model->setData(index, cp932::decodeShown(cp932::encode(typed)), Qt::EditRole);
    }

private:
    SenderGrid* grid_;
};

SenderGrid::SenderGrid(QWidget* parent) : QTableWidget(kRows, 2, parent) {
    setObjectName(QStringLiteral("sg1"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setColumnWidth(0, kNumberWidth);
    setColumnWidth(1, kTextWidth);
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(false);
    setItemDelegate(new SenderCellDelegate(this));

    for (int row = 0; row < kRows; ++row) {
        // The number column is fixed: the keyboard passes it by and it cannot be selected.
        auto* number = new QTableWidgetItem;
        number->setFlags(Qt::NoItemFlags);
        setItem(row, 0, number);
        auto* text = new QTableWidgetItem;
        text->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        setItem(row, 1, text);
    }
}

void SenderGrid::setAlignmentSource(std::function<int(int row)> source) {
    alignmentSource_ = std::move(source);
}

void SenderGrid::editorCreated(QLineEdit* editor, int row) {
    editor_ = editor;
    // The view gives a new editor the focus; through this proxy the focus stays where it is.
    if (openingForComposition_)
        editor->setFocusProxy(this);
    editor->setAlignment(horizontalFor(alignmentOf(row)) | Qt::AlignVCenter);
    editor->setProperty("row", row);
    connect(editor, &QLineEdit::textChanged, this,
            [this, row](const QString& text) { emit editTextChanged(row, text); });
}

void SenderGrid::refreshEditorAlignment() {
    if (editor_)
        editor_->setAlignment(horizontalFor(alignmentOf(editor_->property("row").toInt())) |
                              Qt::AlignVCenter);
}

void SenderGrid::finishEditing(bool keep) {
    if (!editor_)
        return;
    QLineEdit* editor = editor_;
    if (keep)
        commitData(editor);
    closeEditor(editor, keep ? QAbstractItemDelegate::SubmitModelCache
                             : QAbstractItemDelegate::RevertModelCache);
}

void SenderGrid::mousePressEvent(QMouseEvent* event) {
    QTableWidget::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        emit mousePressedAt(index.column(), index.row());
    else
        emit mousePressedAt(-1, -1);
}

void SenderGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const bool tabbing = hint == QAbstractItemDelegate::EditNextItem ||
                         hint == QAbstractItemDelegate::EditPreviousItem;
    if (editor == editor_) {
        endFirstComposition();
        editor_.clear();
    }
    QTableWidget::closeEditor(editor, tabbing ? QAbstractItemDelegate::NoHint : hint);
    if (hint == QAbstractItemDelegate::RevertModelCache)
        emit editReverted();
    // Tab leaves the grid for the next control, as it does when no cell is being edited.
    if (tabbing)
        focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
}

void SenderGrid::inputMethodEvent(QInputMethodEvent* event) {
    // Text composed with the input method starts an edit of the current line as a typed
    // key does, and goes into the editor instead of being lost.
    const QModelIndex current = currentIndex();
    const bool composing = !event->commitString().isEmpty() || !event->preeditString().isEmpty();
    if (!editor_ && composing && (current.flags() & Qt::ItemIsEditable)) {
        openingForComposition_ = true;
        edit(current);
        openingForComposition_ = false;
        if (editor_) {
            firstComposition_ = true;
            // What is composed takes the place of the old text, as a typed key's text does.
            editor_->selectAll();
        }
    }
    if (!firstComposition_ || !editor_) {
        QTableWidget::inputMethodEvent(event);
        return;
    }
    QCoreApplication::sendEvent(editor_, event);
    if (event->preeditString().isEmpty())
        focusEditor(); // committed, or dropped
    else
        updateMicroFocus(); // the candidate window follows the editor's cursor
}

QVariant SenderGrid::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (!firstComposition_ || !editor_)
        return QTableWidget::inputMethodQuery(query);
    // The editor's answers, its rectangles placed in the grid, which the platform asks.
    const QVariant answer = editor_->inputMethodQuery(query);
    const QPoint offset = editor_->mapTo(this, QPoint(0, 0));
    switch (answer.typeId()) {
    case QMetaType::QRect:
        return answer.toRect().translated(offset);
    case QMetaType::QRectF:
        return answer.toRectF().translated(offset);
    default:
        return answer;
    }
}

void SenderGrid::focusOutEvent(QFocusEvent* event) {
    // Another control took the focus, and the composition with it: the editor stays open, and
    // a click into it now gives it the focus. Another window only borrows the focus.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        endFirstComposition();
    QTableWidget::focusOutEvent(event);
}

void SenderGrid::endFirstComposition() {
    if (!firstComposition_)
        return;
    firstComposition_ = false;
    if (editor_)
        editor_->setFocusProxy(nullptr);
}

void SenderGrid::focusEditor() {
    endFirstComposition();
    if (editor_)
        editor_->setFocus(Qt::OtherFocusReason);
}
