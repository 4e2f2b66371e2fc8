// One step of a column-border drag on a page of 99 lines: a pointer move on the real
// window, which moves the border and repaints the page into the widget's backing store,
// beside one plain DrawPage of the same page onto an image of its size. Compare the two
// medians of one run:
//   bench_page_drag_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include "app/DialogService.h"
#include "app/TForm1.h"
#include "page/PageRenderer.h"
#include "page/PainterCanvas.h"
#include "platform/Cp932.h"
#include "platform/PrinterDeviceQt.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

class SilentDialogs : public DialogService {
public:
    void error(const QString&) override {}
    bool confirm(const QString&) override { return false; }
    void info(const QString&) override {}
    int choose(const QString&, const QStringList& choices) override {
        return int(choices.size()) - 1;
    }
    QString openFile(const FileDialogSpec&) override { return {}; }
    QString saveFile(const FileDialogSpec&) override { return {}; }
    int exitQuestion() override { return 2; }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
    void showSenderItems(TForm3&) override {}
    QString chooseBackup(const QString&, const std::vector<backups::Generation>&) override {
        return {};
    }
};

struct DragFixture {
    QTemporaryDir dir;
    SilentDialogs dialogs;
    std::unique_ptr<TForm1> form;

    DragFixture() {
        TForm1Options options;
        options.dialogs = &dialogs;
        options.settingsPath = dir.filePath(QStringLiteral("ledora.ini"));
        options.executableDir = dir.path();
        options.printer = PrinterDeviceQt::createPdf();
        options.screenSize = QSize(1280, 1024);
        form = std::make_unique<TForm1>(std::move(options));
        form->StringGrid1.setRowCount(100);
        form->LineCount = 99;
        form->RowSelected.resize(100);
        form->LineHeight = 7;
        for (int i = 1; i <= 99; ++i) {
            form->StringGrid1.setCell(
                i, 0, cp932::encode(QStringLiteral("品目%1 オフィス用品一式").arg(i)));
            form->StringGrid1.setCell(i, 1, QByteArray::number(i % 7 + 1));
            form->StringGrid1.setCell(i, 2, cp932::encode(QStringLiteral("個")));
            form->StringGrid1.setCell(i, 3, QByteArray::number(i * 1234));
            form->StringGrid1.setCell(i, 5, cp932::encode(QStringLiteral("備考%1").arg(i)));
        }
        form->show();
        QApplication::processEvents();
    }

    void mouse(QEvent::Type type, QPoint at) {
        QWidget* page = form->ui.PB1;
        QMouseEvent event(type, QPointF(at), QPointF(page->mapToGlobal(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(page, &event);
    }
};

void BM_BorderDragStep(benchmark::State& state) {
    DragFixture f;
    const int e2 = f.form->colWidths.ColWidth1 + f.form->colWidths.ColWidth2;
    const int y = f.form->TablePosition + 5 * f.form->LineHeight + 3;
    f.mouse(QEvent::MouseButtonPress, {e2, y});
    int step = 0;
    for (auto _ : state) {
        f.mouse(QEvent::MouseMove, {e2 - 10 + (step++ % 20), y});
    }
    f.mouse(QEvent::MouseButtonRelease, {e2, y});
}

void BM_DrawPage(benchmark::State& state) {
    DragFixture f;
    const int e2 = f.form->colWidths.ColWidth1 + f.form->colWidths.ColWidth2;
    const int y = f.form->TablePosition + 5 * f.form->LineHeight + 3;
    f.mouse(QEvent::MouseButtonPress, {e2, y});
    f.mouse(QEvent::MouseMove, {e2 - 5, y}); // the same page, guide included
    QImage image(f.form->ui.PB1->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        page::PageModel model = f.form->currentPageModel();
        QPainter painter(&image);
        painter.fillRect(image.rect(), Qt::white);
        page::PainterCanvas canvas(painter);
        page::DrawPage(canvas, model);
    }
    f.mouse(QEvent::MouseButtonRelease, {e2, y});
}

} // namespace

BENCHMARK(BM_BorderDragStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPage)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
