#include "sender/AlignIcons.h"

#include <QPainter>
#include <QPixmap>

namespace sender {

namespace {
// Bars of long and short "text lines", top to bottom.
constexpr int kBarLengths[] = {12, 8, 12, 6, 10};
constexpr int kBarTop = 2;
constexpr int kBarPitch = 3;
constexpr int kBarHeight = 2;
constexpr int kInset = 2; // blank border left and right of the bars
} // namespace

QImage alignIconImage(int align, bool enabled) {
    QImage image(kAlignIconSize, kAlignIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const QColor ink = enabled ? QColor(32, 32, 32) : QColor(160, 160, 160);
    const int width = kAlignIconSize - 2 * kInset;
    int top = kBarTop;
    for (const int length : kBarLengths) {
        int left = kInset; // flush left
        if (align == 1)
            left = kInset + (width - length) / 2;
        else if (align == 2)
            left = kInset + width - length;
        painter.fillRect(left, top, length, kBarHeight, ink);
        top += kBarPitch;
    }
    return image;
}

QIcon alignIcon(int align) {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(alignIconImage(align, true)), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(alignIconImage(align, false)), QIcon::Disabled);
    return icon;
}

} // namespace sender
