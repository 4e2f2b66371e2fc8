#include "page/Canvas.h"

#include "platform/Cp932.h"

namespace page {

TextLayout senderLayout(int align) {
    switch (align) {
    case 1:
        return TextLayout::Centred;
    case 2:
        return TextLayout::Right;
    default:
        return TextLayout::Plain;
    }
}

int pointsToPixels(int points) {
    const qint64 scaled = qint64(points) * 96;
    // Half away from zero, as the platform's MulDiv rounds.
    return int(scaled >= 0 ? (scaled + 36) / 72 : (scaled - 36) / 72);
}

void Canvas::setPen(const PenSpec& pen) {
    pen_ = pen;
    penChanged();
}

void Canvas::setBrush(const BrushSpec& brush) {
    brush_ = brush;
    brushChanged();
}

void Canvas::setFont(const FontSpec& font) {
    if (font == font_)
        return;
    font_ = font;
    fontChanged();
}

const QString& Canvas::decoded(const QByteArray& cp932) {
    constexpr qsizetype limit = 4096;
    auto it = decodeCache_.constFind(cp932);
    if (it != decodeCache_.constEnd())
        return *it;
    if (decodeCache_.size() >= limit)
        decodeCache_.clear();
    return *decodeCache_.insert(cp932, cp932::decodeShown(cp932));
}

} // namespace page
