#pragma once
// Canvas over a QPainter: the screen's paint box, a raster image or a printer picture.
#include "page/Canvas.h"
#include "platform/FontFamilies.h"

#include <QFont>
#include <QFontMetrics>
#include <optional>

class QPainter;

namespace page {

class PainterCanvas : public Canvas {
public:
    // The painter must stay active for the canvas's lifetime. `fallbackFamily` is tried
    // after the font's own family, so Japanese text finds glyphs when that family
    // lacks them or is not installed.
    explicit PainterCanvas(QPainter& painter,
                           const QString& fallbackFamily = fonts::kPageStandIn);

    using Canvas::drawText;
    using Canvas::textExtent;
    QSize textExtent(const QString& text) override;
    void drawText(const QRect& rect, const QString& text, TextLayout layout) override;
    void line(QPoint from, QPoint to) override;
    void frameRect(const QRect& rect) override;
    void fillRect(const QRect& rect) override;

    // The QFont a FontSpec becomes, fallback family included.
    static QFont makeFont(const FontSpec& request, const QString& fallbackFamily);

protected:
    void fontChanged() override;

private:
    void drawWrapped(const QRect& rect, const QString& text);

    QPainter& painter_;
    QString fallbackFamily_;
    QFont qfont_;
    std::optional<QFontMetrics> metrics_;
};

} // namespace page
