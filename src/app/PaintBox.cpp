#include "app/PaintBox.h"

#include <QPainter>

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    // The whole page is drawn on every paint; nothing of the old content needs keeping.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (paintHandler_)
        paintHandler_(painter);
    else
        painter.fillRect(rect(), Qt::white);
    for (const PaintHandler& mark : marks_) {
        painter.save();
        mark(painter);
        painter.restore();
    }
    ++paintCount_;
    emit painted();
}

void PaintBox::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event);
}

void PaintBox::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event);
}

void PaintBox::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(event);
}

void PaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
    emit mouseDoubleClicked(event);
}

void PaintBox::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit mouseLeft();
}
