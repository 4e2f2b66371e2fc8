#pragma once
// A Canvas that draws nothing and keeps a list of what it was asked to draw, with the
// pen, brush and font in force at each call, for tests of the page's geometry.
// Text extents are synthetic and exact: each CP932 byte is half the pixel size wide (so a
// double-byte character is a square), a line is the pixel size high.
#include "page/Canvas.h"

#include <QList>

namespace page {

struct CanvasOp {
    enum Kind { Text, Line, Frame, Fill };
    Kind kind = Text;
    QRect rect;      // Text, Frame, Fill
    QPoint from, to; // Line
    QString text;    // Text
    TextLayout layout = TextLayout::Plain;
    PenSpec pen;
    BrushSpec brush;
    FontSpec font;
};

class RecordingCanvas : public Canvas {
public:
    using Canvas::drawText;
    using Canvas::textExtent;
    QSize textExtent(const QString& text) override;
    void drawText(const QRect& rect, const QString& text, TextLayout layout) override;
    void line(QPoint from, QPoint to) override;
    void frameRect(const QRect& rect) override;
    void fillRect(const QRect& rect) override;

    const QList<CanvasOp>& ops() const { return ops_; }
    void clear() { ops_.clear(); }

    // Convenience views for tests.
    QList<CanvasOp> texts() const;
    QList<CanvasOp> lines() const;
    QList<CanvasOp> fills() const;
    // Text operations whose decoded text equals `text`.
    QList<CanvasOp> textsEqual(const QString& text) const;

private:
    CanvasOp stamp(CanvasOp::Kind kind) const;
    QList<CanvasOp> ofKind(CanvasOp::Kind kind) const;

    QList<CanvasOp> ops_;
};

} // namespace page
