// DrawPage of a full page (99 filled lines, long remarks, every block, screen marks)
// on a raster image, beside a floor that draws the same texts, lines and fills with
// bare QPainter calls. Compare the two medians of one run:
//   bench_page_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include "page/PageModel.h"
#include "page/PageRenderer.h"
#include "page/PainterCanvas.h"
#include "platform/Cp932.h"
#include "table/LineItemTable.h"
#include "table/RowSelection.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

QByteArray sj(const QString& s) {
    return cp932::encode(s);
}

struct FullPage {
    LineItemTable table{100};
    RowSelection selection{100};
    page::PageModel model;

    FullPage() {
        table.setDefaultTitles();
        for (int i = 1; i <= 99; ++i) {
            table.setCell(i, 0, sj(QStringLiteral("品目%1 オフィス用品一式").arg(i)));
            table.setCell(i, 1, sj(QString::number(i % 7 + 1)));
            table.setCell(i, 2, sj(QStringLiteral("個")));
            table.setCell(i, 3, sj(QString::number(i * 1234)));
            table.setCell(i, 5, sj(QStringLiteral("備考%1").arg(i)));
        }
        selection.SelectRowRange(10, 20);
        model.table = &table;
        model.selection = &selection;
        model.pageWidth = 1260;
        model.pageHeight = 1782;
        model.LineHeight = 14;
        model.ColWidth = {600, 80, 80, 180, 180};
        model.num = 1234;
        model.sday = QDate(2026, 12, 10);
        model.day = QDate(2026, 12, 24);
        model.showDeliveryDate = true;
        model.showYen = true;
        model.name = sj(QStringLiteral("株式会社サンプル商事"));
        model.honorifics = sj(QStringLiteral("御中"));
        QString memo;
        for (int i = 0; i < 12; ++i)
            memo += QStringLiteral("お支払いは月末締め翌月末払いでお願いいたします。");
        model.memo = sj(memo);
        model.Sender = {sj(QStringLiteral("有限会社テスト")), sj(QStringLiteral("〒100-0001")),
                        sj(QStringLiteral("東京都千代田区千代田1-1")),
                        sj(QStringLiteral("TEL 03-0000-0000")),
                        sj(QStringLiteral("FAX 03-0000-0001"))};
        model.BorderDrag[2] = true;
        model.PointerFormY = 600;
    }
};

// What the page drew, captured once with real metrics, for the floor to replay.
struct Op {
    enum Kind { Text, Line, Fill } kind;
    QRect rect;
    QString text;
    int flags = 0;
    bool wrapped = false;
    int font = 0; // index into fonts
    QColor color;
};

class CapturingCanvas : public page::PainterCanvas {
public:
    CapturingCanvas(QPainter& p, std::vector<Op>& ops, std::vector<QFont>& fonts)
        : PainterCanvas(p), ops_(ops), fonts_(fonts) {}
    using Canvas::drawText;
    void drawText(const QRect& r, const QString& t, page::TextLayout layout) override {
        PainterCanvas::drawText(r, t, layout);
        const QFont f = makeFont(font(), QStringLiteral("IPAGothic"));
        if (fonts_.empty() || fonts_.back() != f)
            fonts_.push_back(f);
        static const int flags[] = {Qt::AlignLeft | Qt::AlignTop,
                                    Qt::AlignHCenter | Qt::AlignTop,
                                    Qt::AlignRight | Qt::AlignTop,
                                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                                    Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                                    Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                                    Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere};
        ops_.push_back(Op{Op::Text, r, t, flags[int(layout)], layout == page::TextLayout::Wrapped,
                          int(fonts_.size()) - 1, font().color});
    }
    void line(QPoint a, QPoint b) override {
        PainterCanvas::line(a, b);
        QRect r = QRect(a, b).normalized();
        r.setWidth(qMax(r.width() - 1, 1) + (pen().width - 1) * (a.y() != b.y()));
        r.setHeight(qMax(r.height() - 1, 1) + (pen().width - 1) * (a.y() == b.y()));
        ops_.push_back(Op{Op::Line, r, {}, 0, false, 0, pen().color});
    }
    void fillRect(const QRect& r) override {
        PainterCanvas::fillRect(r);
        if (brush().solid)
            ops_.push_back(Op{Op::Fill, r, {}, 0, false, 0, brush().color});
    }

private:
    std::vector<Op>& ops_;
    std::vector<QFont>& fonts_;
};

void BM_DrawPage(benchmark::State& state) {
    FullPage page;
    QImage image(page.model.pageWidth, page.model.pageHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        page::PainterCanvas canvas(painter);
        benchmark::DoNotOptimize(page::DrawPage(canvas, page.model));
    }
}

void BM_BareQPainterFloor(benchmark::State& state) {
    FullPage page;
    QImage image(page.model.pageWidth, page.model.pageHeight, QImage::Format_RGB32);
    std::vector<Op> ops;
    std::vector<QFont> fonts;
    {
        QPainter painter(&image);
        CapturingCanvas canvas(painter, ops, fonts);
        page::DrawPage(canvas, page.model);
    }
    for (auto _ : state) {
        QPainter painter(&image);
        int current = -1;
        for (const Op& op : ops) {
            switch (op.kind) {
            case Op::Text:
                if (op.font != current) {
                    painter.setFont(fonts[op.font]);
                    current = op.font;
                }
                painter.setPen(op.color);
                painter.drawText(op.rect, op.flags, op.text);
                break;
            case Op::Line:
            case Op::Fill:
                painter.fillRect(op.rect, op.color);
                break;
            }
        }
    }
}

} // namespace

BENCHMARK(BM_DrawPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareQPainterFloor)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
