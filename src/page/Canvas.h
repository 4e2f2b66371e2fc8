#pragma once
// The drawing surface the page renderer draws on. It offers exactly what the page
// needs: text into a clipped rectangle with one of eight layouts, text extents,
// lines, rectangle outlines and fills, plus the pen, brush and font state that stays
// set between calls. Texts arrive as CP932 bytes and are decoded at this edge.
#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace page {

// How a text sits in its rectangle. Every layout clips to the rectangle; right and
// bottom edges of a rectangle are exclusive.
enum class TextLayout {
    Plain,     // from the top-left corner, lines broken only at line breaks
    Centred,   // centred horizontally, from the top
    Right,     // right-aligned, from the top
    RowLeft,   // one line, vertically centred, left-aligned
    RowCentre, // one line, vertically centred, centred
    RowRight,  // one line, vertically centred, right-aligned
    Wrapped,   // broken to the width; a last, partly visible line is left out
};

// The sender lines use their own alignment value (0 left, 1 centre, 2 right) as the
// horizontal layout; anything else lays out as left.
TextLayout senderLayout(int align);

// A font of `points` points as a pixel size: points * 96 / 72, rounded half away
// from zero, so the page looks the same on every screen and printer.
int pointsToPixels(int points);

enum class PenStyle { Solid, Dotted };

struct PenSpec {
    QColor color = Qt::black;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    bool operator==(const PenSpec&) const = default;
};

struct BrushSpec {
    bool solid = false; // a clear brush fills nothing
    QColor color = Qt::white;
    bool operator==(const BrushSpec&) const = default;
};

struct FontSpec {
    QString family = QStringLiteral("Tahoma");
    int pixelSize = 11;
    QColor color = Qt::black;
    bool operator==(const FontSpec&) const = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    void setPen(const PenSpec& pen);
    void setBrush(const BrushSpec& brush);
    void setFont(const FontSpec& font);
    const PenSpec& pen() const { return pen_; }
    const BrushSpec& brush() const { return brush_; }
    const FontSpec& font() const { return font_; }

    // Width and height of one line of `text` in the current font; an empty text is
    // 0 wide and one line high.
    virtual QSize textExtent(const QString& text) = 0;
    // Draws `text` in the current font and font colour with a transparent background,
    // clipped to `rect`.
    virtual void drawText(const QRect& rect, const QString& text, TextLayout layout) = 0;
    // The same for CP932 bytes (record fields, table cells, settings texts).
    QSize textExtent(const QByteArray& cp932) { return textExtent(decoded(cp932)); }
    void drawText(const QRect& rect, const QByteArray& cp932, TextLayout layout) {
        drawText(rect, decoded(cp932), layout);
    }
    // A line in the current pen covering `from` but not `to`.
    virtual void line(QPoint from, QPoint to) = 0;
    // The outline of `rect` in the current pen (one pixel inside its right and bottom edges).
    virtual void frameRect(const QRect& rect) = 0;
    // Fills `rect` with the current brush; a clear brush draws nothing.
    virtual void fillRect(const QRect& rect) = 0;

protected:
    virtual void penChanged() {}
    virtual void brushChanged() {}
    virtual void fontChanged() {}

    // The same few dozen byte texts are decoded on every repaint.
    const QString& decoded(const QByteArray& cp932);

private:
    QHash<QByteArray, QString> decodeCache_;
    PenSpec pen_;
    BrushSpec brush_;
    FontSpec font_;
};

// A rectangle given by its edges as the page formulas state them (right, bottom exclusive).
inline QRect edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

} // namespace page
