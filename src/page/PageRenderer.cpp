#include "page/PageRenderer.h"

#include "invoice/RateGroups.h"
#include "page/PageGeometry.h"
#include "page/PageText.h"
#include "platform/Cp932.h"
#include "table/NumberReading.h"

#include <optional>

namespace page {

namespace {

struct KindTexts {
    QString title;
    QString amountLabel;
    QString greeting;
};

const KindTexts& textsFor(int kind) {
    static const KindTexts texts[3] = {
        {QStringLiteral("  御 見 積 書  "), QStringLiteral("見積金額"),
         QStringLiteral("下記の通り御見積致します。")},
        {QStringLiteral("  御 請 求 書  "), QStringLiteral("請求金額"),
         QStringLiteral("下記の通り御請求致します。")},
        {QStringLiteral("  納　品　書  "), QStringLiteral("納品金額"),
         QStringLiteral("下記の通り納品いたしました。")},
    };
    return texts[kind >= 0 && kind < 3 ? kind : 0];
}

const QString kCreationLabel = QStringLiteral("作成日");
const QString kDeliveryLabel = QStringLiteral("納期　　　");
const QString kRemarksLabel = QStringLiteral("備考");
const QString kTotalsLabels[3] = {QStringLiteral("　小　　　計　"),
                                  QStringLiteral("　消　費　税　"),
                                  QStringLiteral("　合　　　計　")};
// The qualified invoice's texts.
const QString kRegistrationLabel = QStringLiteral("登録番号 ");
const QString kReducedFootnote = QStringLiteral("※は軽減税率対象品目");
QString groupSubtotalLabel(const invoice::RateGroup& g) {
    return (g.reduced ? QStringLiteral("※") : QString()) + invoice::RatePercentText(g.rate) +
           QStringLiteral("%対象 小計");
}
QString groupTaxLabel(const invoice::RateGroup& g) {
    return QStringLiteral("消費税（") + invoice::RatePercentText(g.rate) + QStringLiteral("%）");
}

const QString kOverflowWithRemarks = QStringLiteral(
    "印刷範囲を超えている部分があります。必要なら備考欄表示、行間、行数、位置を調節してください。");
const QString kOverflowWithoutRemarks = QStringLiteral(
    "印刷範囲を超えている部分があります。必要なら行間、行数、位置を調節してください。");

const QColor kHighlight(199, 226, 226);
const QColor kFrameGrey(128, 128, 128);

// The page's positions with the column edges the drawing asks for.
struct Geometry : PageGeometry {
    int left(int column) const { return column == 0 ? M : E[size_t(column)]; }
    int right(int column) const { return column == 5 ? R : E[size_t(column) + 1]; }
    int lineTop(int i) const { return T0 + (i - 1) * LH; }
};

// A qualified invoice's totals rows are those of its tax rates; none for the plain form.
int totalsRowsFor(const invoice::RateTotals* rates) {
    return rates ? 2 * int(rates->groups.size()) + 1 : 3;
}

// The one row of note below the total, when a marked item is on the page.
bool showsFootnote(const PageModel& m, const invoice::RateTotals* rates) {
    return m.invoice.qualified && rates && rates->anyMarked;
}

class PagePainter {
public:
    // `rates` is given for a qualified invoice, null for the plain form.
    PagePainter(Canvas& canvas, const PageModel& model, const LineItemTable& table,
                const TableTotals& totals, const invoice::RateTotals* rates)
        : c(canvas), m(model), t(table), totals(totals), rates(rates),
          g(Geometry{PageGeometry::of(model, table.lineCount(), totalsRowsFor(rates))}),
          family(cp932::decode(model.FontName)), fontColor(ColorFromWindows(model.FontColor)),
          lineColor(ColorFromWindows(model.LineColor)), kind(textsFor(model.documentKind)) {}

    void draw() {
        background();
        title();
        numberAndDate();
        recipient();
        amountBox();
        deliveryDate();
        greeting();
        senderBlock();
        if (!m.Printing)
            rowHighlight();
        c.setBrush(BrushSpec{});
        setFont(12 + m.FontSizeOffset);
        table();
        if (rates)
            rateTotalsRows();
        else
            totalsRows();
        if (showsFootnote(m, rates))
            footnote();
        if (m.showRemarks)
            remarks();
        rules();
        if (!m.Printing)
            screenMarks();
    }

private:
    void setFont(int points, const QColor& color) {
        c.setFont(FontSpec{family, pointsToPixels(points), color});
    }
    void setFont(int points) { setFont(points, fontColor); }
    void setPen(int width, PenStyle style = PenStyle::Solid) {
        c.setPen(PenSpec{lineColor, width, style});
    }
    void hline(int y, int x0, int x1) { c.line(QPoint(x0, y), QPoint(x1, y)); }
    void vline(int x, int y0, int y1) { c.line(QPoint(x, y0), QPoint(x, y1)); }
    int off() const { return m.FontSizeOffset; }

    void background() {
        c.setBrush(BrushSpec{true, Qt::white});
        c.fillRect(edges(0, 0, g.W, g.H));
        c.setBrush(BrushSpec{});
        setPen(1);
        setFont(8);
    }

    void title() {
        setFont(18 + off());
        const QSize s = c.textExtent(kind.title);
        const int x0 = (g.W - s.width()) / 2;
        const int bottom = g.M + s.height();
        c.drawText(edges(x0, g.M, x0 + s.width(), bottom), kind.title, TextLayout::Plain);
        setPen(1);
        hline(bottom, x0, x0 + s.width());
        hline(bottom + 2, x0, x0 + s.width());
    }

    void numberAndDate() {
        setFont(8);
        const QString number = QString::asprintf("No. %.4d", int(m.num));
        const QSize n = c.textExtent(number);
        c.drawText(edges(g.R - n.width(), g.M, g.R, g.M + n.height()), number, TextLayout::Plain);

        const QSize l = c.textExtent(kCreationLabel);
        c.drawText(edges(g.W - 105 - l.width() - g.M, g.M + 35 - l.height(), g.W - 105, g.M + 35),
                   kCreationLabel, TextLayout::Plain);
        // An empty date prints nothing rather than the date of day zero.
        const QString date = FormatLongDate(m.sday);
        if (!date.isEmpty()) {
            const int th = c.textExtent(date).height();
            c.drawText(edges(g.W - 180, g.M + 35 - th, g.R, g.M + 35), date, TextLayout::Right);
        }
    }

    void recipient() {
        setFont(16 + off());
        const QByteArray name = m.name + ' ';
        const int th = c.textExtent(name).height();
        c.drawText(edges(g.M, g.P - 107 - th, g.M + 200, g.P - 107), name, TextLayout::Centred);

        setFont(12 + off());
        const QSize h = c.textExtent(m.honorifics);
        c.drawText(edges(210, g.P - 107 - h.height(), 210 + h.width(), g.P - 107), m.honorifics,
                   TextLayout::Right);
        setPen(2);
        hline(g.P - 105, g.M, g.M + 210 + h.width());
    }

    void amountBox() {
        setFont(16 + off());
        const int th = c.textExtent(kind.amountLabel).height();
        const QRect box = edges(g.M, g.P - 12 - th, g.W / 2, g.P - 12);
        setPen(2);
        hline(g.P - 10, g.M, g.W / 2);
        c.drawText(box, kind.amountLabel, TextLayout::Plain);
        // The amount box always carries the yen sign, whatever the option.
        if (totals.GrandTotal != 0)
            c.drawText(box, FormatAmount(totals.GrandTotal, true) + QLatin1Char(' '),
                       TextLayout::Right);
    }

    void deliveryDate() {
        setFont(8);
        const QSize l = c.textExtent(kDeliveryLabel);
        c.drawText(edges(g.M, g.P - 55 - l.height(), g.M + l.width(), g.P - 55), kDeliveryLabel,
                   TextLayout::Plain);
        if (m.showDeliveryDate) {
            const QString date = FormatLongDate(m.day);
            if (!date.isEmpty()) {
                const int th = c.textExtent(date).height();
                c.drawText(edges(50, g.P - 55 - th, 200, g.P - 55), date, TextLayout::Right);
            }
        }
        setPen(1);
        hline(g.P - 55, g.M, 200);
    }

    void greeting() {
        setFont(8);
        const QSize s = c.textExtent(kind.greeting);
        c.drawText(edges(g.M, g.P - 95, g.M + s.width(), g.P - 95 + s.height()), kind.greeting,
                   TextLayout::Plain);
    }

    void senderBlock() {
        const int slh = m.SenderLineHeight;
        for (int k = 1; k <= 5; ++k) {
            setFont(k == 1 ? 12 : 8);
            const QByteArray& text = m.Sender[k - 1];
            const int top = g.P - (7 - k) * slh;
            const int th = c.textExtent(text).height();
            c.drawText(edges(g.SX, top, g.R, top + th), text, senderLayout(m.SenderAlign[k - 1]));
        }
        if (m.invoice.qualified && !m.invoice.registrationNumber.isEmpty()) {
            // The block's sixth slot, just above the table.
            setFont(8);
            const QString text = kRegistrationLabel + m.invoice.registrationNumber;
            const int top = g.P - slh;
            const int th = c.textExtent(text).height();
            c.drawText(edges(g.SX, top, g.R, top + th), text, TextLayout::Plain);
        }
    }

    void rowHighlight() {
        if (!m.selection)
            return;
        for (int i = 1; i <= g.N; ++i) {
            if (!m.selection->IsRowSelected(i))
                continue;
            c.setBrush(BrushSpec{true, kHighlight});
            c.fillRect(edges(g.M, g.lineTop(i), g.R, g.T0 + i * g.LH + 1));
        }
    }

    void cellText(int column, const QByteArray& s, const QRect& rect) {
        switch (column) {
        case ColItem:
        case ColRemarks:
            c.drawText(rect, ' ' + s, TextLayout::RowLeft);
            break;
        case ColQuantity: {
            const long double q = ReadGroupedDecimal(s, 0);
            if (q != 0)
                c.drawText(rect, FormatGeneral(q) + QLatin1Char(' '), TextLayout::RowRight);
            break;
        }
        case ColUnit:
            c.drawText(rect, s, TextLayout::RowCentre);
            break;
        default: {
            const qint32 n = ReadGroupedInteger(s, 0);
            if (n != 0)
                c.drawText(rect, FormatAmount(n, m.showYen) + QLatin1Char(' '),
                           TextLayout::RowRight);
            break;
        }
        }
    }

    void table() {
        for (int col = 0; col < kTableColumnCount; ++col) {
            const int left = g.left(col), right = g.right(col);
            c.drawText(edges(left, g.P, right, g.T0), t.cell(0, col), TextLayout::RowCentre);
            for (int i = 1; i <= g.N; ++i) {
                const QByteArray& s = t.cell(i, col);
                if (IsBlankCell(s))
                    continue;
                // Every non-blank cell draws its line's rule; drawing it again is harmless.
                setPen(1);
                hline(g.T0 + i * g.LH, g.M, g.R);
                cellText(col, s, edges(left, g.lineTop(i), right, g.T0 + i * g.LH + 1));
            }
        }
    }

    void totalsRows() {
        const qint64 values[3] = {totals.Subtotal, totals.TaxAmount, totals.GrandTotal};
        for (int k = 0; k < 3; ++k)
            totalsRow(k, kTotalsLabels[k], values[k]);
    }

    void totalsRow(int k, const QString& label, qint64 value) {
        const int top = g.T0 + (g.N + k) * g.LH;
        c.drawText(edges(g.M, top, g.E[4], top + g.LH + 1), label, TextLayout::RowCentre);
        if (value != 0)
            c.drawText(edges(g.E[4], top, g.E[5], top + g.LH + 1),
                       FormatAmount(value, m.showYen) + QLatin1Char(' '), TextLayout::RowRight);
    }

    // A subtotal and a tax row per rate, the record's rate first, then the total.
    void rateTotalsRows() {
        int k = 0;
        for (const invoice::RateGroup& group : rates->groups) {
            totalsRow(k++, groupSubtotalLabel(group), group.subtotal);
            totalsRow(k++, groupTaxLabel(group), group.tax);
        }
        totalsRow(k, kTotalsLabels[2], rates->total);
    }

    void footnote() {
        setFont(8);
        const int top = g.T0 + (g.N + g.totalsRows) * g.LH;
        c.drawText(edges(g.M, top, g.R, top + g.LH), kReducedFootnote, TextLayout::RowLeft);
    }

    void remarks() {
        setFont(12 + off());
        c.drawText(edges(g.M, g.Y1 - g.LH, g.R, g.Y1), kRemarksLabel, TextLayout::RowLeft);
        c.drawText(edges(g.M + 2, g.Y1 + 2, g.R - 2, g.Y1 + 82), m.memo, TextLayout::Wrapped);
    }

    void rules() {
        const int linesBottom = g.T0 + g.N * g.LH;
        const int totalsBottom = g.T0 + (g.N + g.totalsRows) * g.LH;
        setPen(2);
        hline(g.T0, g.M, g.R);
        // The wide rule stands above the total.
        hline(totalsBottom - g.LH, g.M, g.R);
        setPen(1);
        hline(g.P, g.M, g.R);
        hline(linesBottom, g.M, g.R);
        for (int k = 1; k < g.totalsRows - 1; ++k)
            hline(g.T0 + (g.N + k) * g.LH, g.M, g.R);
        hline(totalsBottom, g.M, g.R);
        for (int x : {g.M, g.E[4], g.E[5], g.R})
            vline(x, g.P, totalsBottom);
        for (int x : {g.E[1], g.E[2], g.E[3]})
            vline(x, g.P, linesBottom);
        if (m.showRemarks) {
            hline(g.Y1, g.M, g.R);
            hline(g.Y1 + 80, g.M, g.R);
            vline(g.M, g.Y1, g.Y1 + 80);
            vline(g.R, g.Y1, g.Y1 + 80);
        }
    }

    void screenMarks() {
        setFont(8, lineColor);
        setPen(1, PenStyle::Dotted);
        if (m.BorderDrag[0] || m.BorderDrag[1] || m.BorderDrag[2] || m.BorderDrag[3] ||
            m.BorderDrag[4])
            measuringGuide();
        if (!m.hoverFrame.isEmpty()) {
            c.setPen(PenSpec{lineColor, 1, PenStyle::Dotted});
            c.frameRect(m.hoverFrame);
            setPen(1, PenStyle::Dotted);
        }
        if (m.SenderEdgeDrag) {
            // The sender block's extent, as its hover frame shows it, while its edge moves.
            const int slh = m.SenderLineHeight;
            c.frameRect(edges(g.SX, g.P - 6 * slh, g.R, g.P - slh));
        }
        c.setPen(PenSpec{kFrameGrey, 1, PenStyle::Solid});
        vline(0, 0, g.H);
        vline(g.W - 1, 0, g.H);
        hline(0, 0, g.W);
        hline(g.H - 1, 0, g.W);
    }

    void measuringGuide() {
        const int y = m.scrollY + m.PointerFormY;
        const int bounds[7] = {g.M, g.E[1], g.E[2], g.E[3], g.E[4], g.E[5], g.R};
        for (int k = 0; k < 6; ++k)
            hline(y, bounds[k], bounds[k + 1]);
        for (int k = 0; k < 6; ++k) {
            // The first and last numbers are measured; the middle ones are the widths.
            const int length = (k == 0 || k == 5) ? bounds[k + 1] - bounds[k] : m.ColWidth[k];
            const QString text = QString::number(length);
            const QSize s = c.textExtent(text);
            const int x = (k == 0 || k == 5) ? (bounds[k] + bounds[k + 1] - s.width()) / 2
                                             : bounds[k] + (length - s.width()) / 2;
            c.drawText(edges(x, y - s.height(), x + s.width(), y), text, TextLayout::Plain);
        }
    }

    Canvas& c;
    const PageModel& m;
    const LineItemTable& t;
    const TableTotals& totals;
    const invoice::RateTotals* rates;
    const Geometry g;
    const QString family;
    const QColor fontColor;
    const QColor lineColor;
    const KindTexts& kind;
};

} // namespace

TableTotals DrawPage(Canvas& canvas, PageModel& model) {
    LineItemTable fallback(1);
    if (!model.table)
        fallback.setDefaultTitles();
    LineItemTable& table = model.table ? *model.table : fallback;
    const TableTotals plain = SGkei(table, model.SalesTaxRate);
    const std::optional<invoice::RateTotals> rates =
        invoice::PageRateTotals(table, model.SalesTaxRate, model.invoice);
    if (!rates) {
        PagePainter(canvas, model, table, plain, nullptr).draw();
        return plain;
    }
    const TableTotals totals = rates->sums();
    PagePainter(canvas, model, table, totals, &*rates).draw();
    return totals;
}

QString OverflowNotice(const PageModel& model) {
    const qint64 P = model.TablePosition, LH = model.LineHeight, H = model.pageHeight;
    const qint64 N = model.table ? model.table->lineCount() : 0;
    // Rows a qualified invoice adds below the lines: its further rates' rows, and the
    // footnote, which the remarks otherwise keep room for.
    std::optional<invoice::RateTotals> rates;
    if (model.table)
        rates = invoice::PageRateTotals(*model.table, model.SalesTaxRate, model.invoice);
    const qint64 extra = totalsRowsFor(rates ? &*rates : nullptr) - 3;
    if (model.showRemarks)
        return P + LH * (N + 6 + extra) + 80 > H ? kOverflowWithRemarks : QString();
    const qint64 footnote = showsFootnote(model, rates ? &*rates : nullptr) ? 1 : 0;
    return P + LH * (N + 4 + extra + footnote) > H ? kOverflowWithoutRemarks : QString();
}

QColor ColorFromWindows(quint32 value) {
    const quint32 kind = value >> 24;
    if (kind == 0xFF) {
        // Default values of the system colours, by index.
        static const QRgb system[31] = {
            0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
            0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x0078D7, 0xFFFFFF, 0xF0F0F0,
            0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
            0xFFFFE1, 0x000000, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x3399FF, 0xF0F0F0};
        const quint32 index = value & 0xFFFFFF;
        return QColor(QRgb(index < 31 ? system[index] : 0));
    }
    if (value == 0x20000000) // clDefault: the text colour
        return QColor(Qt::black);
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QString DocumentTitle(int kind) {
    return textsFor(kind).title;
}

} // namespace page
