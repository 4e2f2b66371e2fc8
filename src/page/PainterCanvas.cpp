#include "page/PainterCanvas.h"

#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

namespace page {

namespace {

// Line breaks as the platform takes them: CR LF, a lone CR or a lone LF.
QString withLineFeeds(QString text) {
    if (text.contains(QLatin1Char('\r'))) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return text;
}

int alignmentFlags(TextLayout layout) {
    switch (layout) {
    case TextLayout::Plain:
    case TextLayout::Wrapped:
        return Qt::AlignLeft | Qt::AlignTop;
    case TextLayout::Centred:
        return Qt::AlignHCenter | Qt::AlignTop;
    case TextLayout::Right:
        return Qt::AlignRight | Qt::AlignTop;
    case TextLayout::RowLeft:
        return Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    case TextLayout::RowCentre:
        return Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine;
    case TextLayout::RowRight:
        return Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

} // namespace

PainterCanvas::PainterCanvas(QPainter& painter, const QString& fallbackFamily)
    : painter_(painter), fallbackFamily_(fallbackFamily) {
    fontChanged();
}

QFont PainterCanvas::makeFont(const FontSpec& request, const QString& fallbackFamily) {
    QFont font;
    // A family that is not installed is left out when there is a fallback: Qt would land
    // on the fallback anyway, after a costly search for the missing one.
    QStringList families;
    if (fallbackFamily.isEmpty() || fonts::isInstalled(request.family))
        families << request.family;
    if (!fallbackFamily.isEmpty() && fallbackFamily != request.family)
        families << fallbackFamily;
    font.setFamilies(families);
    font.setPixelSize(qMax(1, request.pixelSize));
    font.setWeight(QFont::Normal);
    font.setStyle(QFont::StyleNormal);
    return font;
}

void PainterCanvas::fontChanged() {
    qfont_ = makeFont(font(), fallbackFamily_);
    painter_.setFont(qfont_);
    metrics_.emplace(qfont_, painter_.device());
}

QSize PainterCanvas::textExtent(const QString& text) {
    return QSize(metrics_->horizontalAdvance(text), metrics_->height());
}

void PainterCanvas::drawText(const QRect& rect, const QString& text, TextLayout layout) {
    if (text.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    const QString s = withLineFeeds(text);
    painter_.setPen(QPen(font().color));
    if (layout == TextLayout::Wrapped) {
        drawWrapped(rect, s);
        return;
    }
    // Ampersands are the user's text, never mnemonic marks.
    painter_.drawText(rect, alignmentFlags(layout), s);
}

void PainterCanvas::drawWrapped(const QRect& rect, const QString& text) {
    QString laidOut = text;
    laidOut.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(laidOut, qfont_, painter_.device());
    QTextOption option(Qt::AlignLeft);
    // Words first; a word wider than the box breaks anywhere, as an edit control does.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const int lineHeight = metrics_->height();
    int y = 0;
    layout.beginLayout();
    for (;;) {
        QTextLine textLine = layout.createLine();
        if (!textLine.isValid())
            break;
        textLine.setLineWidth(rect.width());
        textLine.setPosition(QPointF(0, y));
        y += lineHeight;
        // A line that would show only in part is left out, and so is all after it.
        if (y > rect.height())
            break;
    }
    layout.endLayout();
    painter_.save();
    painter_.setClipRect(rect, Qt::IntersectClip);
    for (int i = 0; i < layout.lineCount(); ++i) {
        QTextLine textLine = layout.lineAt(i);
        if (textLine.y() + lineHeight > rect.height() || textLine.textLength() == 0)
            continue;
        textLine.draw(&painter_, rect.topLeft());
    }
    painter_.restore();
}

void PainterCanvas::line(QPoint from, QPoint to) {
    if (from == to)
        return;
    const PenSpec& p = pen();
    const int w = qMax(1, p.width);
    if (p.style == PenStyle::Solid && (from.y() == to.y() || from.x() == to.x())) {
        // Axis-aligned solid lines are exact pixel runs: `from` covered, `to` not,
        // a wide pen spread evenly across the line.
        const int across = -(w / 2);
        if (from.y() == to.y()) {
            const int x0 = from.x() < to.x() ? from.x() : to.x() + 1;
            const int x1 = from.x() < to.x() ? to.x() : from.x() + 1;
            painter_.fillRect(QRect(x0, from.y() + across, x1 - x0, w), p.color);
        } else {
            const int y0 = from.y() < to.y() ? from.y() : to.y() + 1;
            const int y1 = from.y() < to.y() ? to.y() : from.y() + 1;
            painter_.fillRect(QRect(from.x() + across, y0, w, y1 - y0), p.color);
        }
        return;
    }
    QPen qpen(p.color, w, p.style == PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine, Qt::FlatCap);
    if (w == 1)
        qpen.setCosmetic(true);
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setPen(qpen);
    // Stop one step short of `to`, which the line does not cover.
    const QPoint d = to - from;
    const int steps = qMax(qAbs(d.x()), qAbs(d.y()));
    const QPointF end = QPointF(from) + QPointF(d) * (double(steps - 1) / steps);
    painter_.drawLine(QPointF(from), end);
    painter_.restore();
}

void PainterCanvas::frameRect(const QRect& rect) {
    const int l = rect.left(), t = rect.top();
    const int r = rect.left() + rect.width(), b = rect.top() + rect.height();
    if (r <= l || b <= t)
        return;
    line(QPoint(l, t), QPoint(r - 1, t));
    line(QPoint(r - 1, t), QPoint(r - 1, b - 1));
    line(QPoint(r - 1, b - 1), QPoint(l, b - 1));
    line(QPoint(l, b - 1), QPoint(l, t));
}

void PainterCanvas::fillRect(const QRect& rect) {
    if (brush().solid && rect.width() > 0 && rect.height() > 0)
        painter_.fillRect(rect, brush().color);
}

} // namespace page
