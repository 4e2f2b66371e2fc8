#include "page/RecordingCanvas.h"

#include "platform/Cp932.h"

namespace page {

QSize RecordingCanvas::textExtent(const QString& text) {
    const int px = font().pixelSize;
    return QSize(int(cp932::encode(text).size()) * px / 2, px);
}

CanvasOp RecordingCanvas::stamp(CanvasOp::Kind kind) const {
    CanvasOp op;
    op.kind = kind;
    op.pen = pen();
    op.brush = brush();
    op.font = font();
    return op;
}

void RecordingCanvas::drawText(const QRect& rect, const QString& text, TextLayout layout) {
    CanvasOp op = stamp(CanvasOp::Text);
    op.rect = rect;
    op.text = text;
    op.layout = layout;
    ops_.append(op);
}

void RecordingCanvas::line(QPoint from, QPoint to) {
    CanvasOp op = stamp(CanvasOp::Line);
    op.from = from;
    op.to = to;
    ops_.append(op);
}

void RecordingCanvas::frameRect(const QRect& rect) {
    CanvasOp op = stamp(CanvasOp::Frame);
    op.rect = rect;
    ops_.append(op);
}

void RecordingCanvas::fillRect(const QRect& rect) {
    CanvasOp op = stamp(CanvasOp::Fill);
    op.rect = rect;
    ops_.append(op);
}

QList<CanvasOp> RecordingCanvas::ofKind(CanvasOp::Kind kind) const {
    QList<CanvasOp> out;
    for (const CanvasOp& op : ops_)
        if (op.kind == kind)
            out.append(op);
    return out;
}

QList<CanvasOp> RecordingCanvas::texts() const {
    return ofKind(CanvasOp::Text);
}
QList<CanvasOp> RecordingCanvas::lines() const {
    return ofKind(CanvasOp::Line);
}
QList<CanvasOp> RecordingCanvas::fills() const {
    return ofKind(CanvasOp::Fill);
}

QList<CanvasOp> RecordingCanvas::textsEqual(const QString& text) const {
    QList<CanvasOp> out;
    for (const CanvasOp& op : ops_)
        if (op.kind == CanvasOp::Text && op.text == text)
            out.append(op);
    return out;
}

} // namespace page
