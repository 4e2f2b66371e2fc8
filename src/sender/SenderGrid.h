#pragma once
// The grid of the sender-items dialog: line numbers in a fixed first column, the five
// sender lines in the second, edited in place and drawn with each line's alignment.
// Tab is not taken by the grid: it moves on to the dialog's next control.
// Text composed with the input method opens the editor as a typed key does; the grid
// keeps the focus until that first composition ends, as moving the focus would make the
// platform drop the composition (and with it the key that started it).
#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>

#include <functional>

class SenderGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kRows = 5;
    static constexpr int kRowHeight = 20;
    static constexpr int kNumberWidth = 40;
    static constexpr int kTextWidth = 213;

    explicit SenderGrid(QWidget* parent = nullptr);

    // Where the drawing and the cell editor take line `row`'s alignment (0, 1, 2).
    void setAlignmentSource(std::function<int(int row)> source);

    bool isEditing() const { return !editor_.isNull(); }
    // The open cell editor, if any.
    QLineEdit* cellEditor() const { return editor_.data(); }
    // Ends an edit in progress, its text kept in the cell or dropped.
    void finishEditing(bool keep);
    // Gives the open cell editor its line's alignment again.
    void refreshEditorAlignment();

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    // The mouse was pressed in the grid: the cell under it, or (-1, -1) outside the cells.
    void mousePressedAt(int col, int row);
    // The text being typed in line `row`'s cell changed.
    void editTextChanged(int row, const QString& text);
    // An edit was abandoned (Esc): the cell keeps its text from before the edit.
    void editReverted();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class SenderCellDelegate;
    int alignmentOf(int row) const { return alignmentSource_ ? alignmentSource_(row) : 0; }
    void editorCreated(QLineEdit* editor, int row);
    // The first composition is over: the editor stops passing its focus on to the grid.
    void endFirstComposition();
    // Hands the focus to the editor after the first composition.
    void focusEditor();

    std::function<int(int)> alignmentSource_;
    QPointer<QLineEdit> editor_;
    bool openingForComposition_ = false;
    // The editor was opened by a composition that is still under way: the grid has the
    // focus, and the input method's events and queries go on to the editor.
    bool firstComposition_ = false;
};
