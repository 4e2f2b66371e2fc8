#include "app/ColorSwatch.h"

#include <QPainter>

ColorSwatch::ColorSwatch(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::Box);
}

void ColorSwatch::setBrushColor(const QColor& color) {
    color_ = color;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), color_);
    }
    QFrame::paintEvent(event);
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(event);
}
