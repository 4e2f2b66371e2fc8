#pragma once
// Draws the record grid's current row in its own colours, brighter while the grid has
// the focus; other rows keep the default drawing.
#include <QColor>
#include <QStyledItemDelegate>

class QAbstractItemView;

class CurrentRowDelegate : public QStyledItemDelegate {
public:
    struct Colors {
        QColor background;
        QColor text;
    };
    static Colors currentRowColors(bool gridFocused);

    // Owned by `view`.
    explicit CurrentRowDelegate(QAbstractItemView* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    QAbstractItemView* view_;
};
