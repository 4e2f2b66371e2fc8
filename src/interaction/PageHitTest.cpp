#include "interaction/PageHitTest.h"

#include <algorithm>

namespace interaction {

namespace {
// The sender edge's grab zone holds the points closer than this to SX.
constexpr int kSenderEdgeReach = 3;
} // namespace

const char* const kHintEdit = "クリックで編集";
const char* const kHintDeliveryDate = "左の項目のチェックで納期日を表示";
const char* const kHintSender = "ダブルクリック又は右クリックで編集画面を表示";

int PageFrame::columnAt(int x) const {
    const int bounds[7] = {M, E[1], E[2], E[3], E[4], E[5], R};
    for (int c = 0; c < 6; ++c)
        if (x > bounds[c] && x < bounds[c + 1])
            return c;
    return -1;
}

int PageFrame::rowAt(int y) const {
    if (y <= P || LH <= 0)
        return -1;
    return (y - P) / LH;
}

Box PageFrame::nameArea(int nameHeight) const {
    return {M, P - 107 - nameHeight, M + 200, P - 107};
}

Box PageFrame::creationDatePress() const {
    return {W - 105 - M, M + 16, R, M + 36};
}

Box PageFrame::creationDateHover() const {
    return {W - 105 - M, M + 16, R + 3, M + 36};
}

Box PageFrame::deliveryDateArea() const {
    return {70, P - 75, 200, P - 55};
}

Box PageFrame::remarksArea() const {
    return {M + 1, Y1 + 1, R, Y1 + 80};
}

Box PageFrame::senderHover() const {
    return {SX, P - 6 * SLH, R, P - SLH};
}

Box PageFrame::senderDoubleClick() const {
    return {SX + 5, P - 6 * SLH, R - 5, P - SLH};
}

Box PageFrame::senderMenu() const {
    return {SX + 5, P - 125, R - 5, P - 20};
}

bool PageFrame::inSenderHover(int x, int y) const {
    const Box b = senderHover();
    return x > SX - 3 && x < b.right && y > b.top && y < b.bottom;
}

bool PageFrame::inSenderEdge(int x, int y) const {
    return x > SX - kSenderEdgeReach && x < SX + kSenderEdgeReach && y > P - 125 && y < P - 20;
}

int PageFrame::borderZoneAt(int x, int y, int pitch) const {
    if (!(y > P && y < P + (pitch + 1) * N))
        return 0;
    for (int k = 1; k <= 5; ++k)
        if (x > E[k] - 2 && x < E[k] + 2)
            return k;
    return 0;
}

int senderSpaceWidthOnPage(qint64 width, int pageWidth, int margin) {
    const qint64 R = qint64(pageWidth) - margin;
    return int(R - std::clamp<qint64>(R - width, 0, std::max(0, pageWidth - 1)));
}

QString positionText(int row, int rowCount, int col) {
    return QStringLiteral("%1/%2:%3")
        .arg(row + 1, 2, 10, QLatin1Char('0'))
        .arg(rowCount, 2, 10, QLatin1Char('0'))
        .arg(col + 1);
}

} // namespace interaction
