#include "app/CurrentRowDelegate.h"

#include <QAbstractItemView>
#include <QPainter>

CurrentRowDelegate::Colors CurrentRowDelegate::currentRowColors(bool gridFocused) {
    if (gridFocused)
        return {QColor(134, 240, 255), QColor(255, 0, 0)};
    return {QColor(179, 219, 216), QColor(0, 0, 0)};
}

CurrentRowDelegate::CurrentRowDelegate(QAbstractItemView* view)
    : QStyledItemDelegate(view), view_(view) {}

void CurrentRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    if (index.row() != view_->currentIndex().row()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const Colors colors = currentRowColors(view_->hasFocus());
    QStyleOptionViewItem current = option;
    // The row colours replace the selection highlight the style would draw.
    current.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    current.backgroundBrush = colors.background;
    current.palette.setColor(QPalette::Text, colors.text);
    painter->fillRect(option.rect, colors.background);
    QStyledItemDelegate::paint(painter, current, index);
}
