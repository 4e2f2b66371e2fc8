// The record commands a user gives in the main window over a data file of 10,000 and of
// 100,000 records, shown on the offscreen platform with every widget: 新規＋ and 複製⇔ on the
// page view and on the record list, a tab change and a title sort of the list. Each is one
// button press or click as the user gives it, up to the end of its repaint. The floor in
// the same run is a bare repaint of the page, which every command ends with.
//   bench_recordcommands_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "BenchRecords.h"
#include "app/QtDialogService.h"
#include "app/TForm1.h"
#include "platform/PrinterDeviceQt.h"
#include "records/DataFile.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

QTemporaryDir* folder = nullptr;
// Destroyed before the application object.
std::map<int, std::unique_ptr<TForm1>> windows;

// One window per record count, over its own file, opened at start-up as the recent file.
TForm1& window(int count) {
    static QtDialogService dialogs;
    std::unique_ptr<TForm1>& form = windows[count];
    if (form)
        return *form;
    const QString data = folder->filePath(QStringLiteral("records%1.dat").arg(count));
    Dataset records = benchrecords::makeRecords(count);
    DataFile::save(records, data);
    const QString ini = folder->filePath(QStringLiteral("ledora%1.ini").arg(count));
    QFile file(ini);
    file.open(QIODevice::WriteOnly);
    file.write("[history]\r\nhistory1=" + data.toLocal8Bit() + "\r\n");
    file.close();
    TForm1Options options;
    options.dialogs = &dialogs;
    options.settingsPath = ini;
    options.executableDir = folder->path();
    options.printer = PrinterDeviceQt::createPdf();
    form = std::make_unique<TForm1>(std::move(options));
    form->show();
    QApplication::processEvents();
    return *form;
}

void showList(TForm1& form, bool list) {
    if (list)
        form.AIchiranExecute();
    else
        form.AEditViewExecute();
    QApplication::processEvents();
}

// Pending events (a repaint the command asked for) are part of the command.
void settle() {
    QApplication::processEvents();
}

void PageRepaint(benchmark::State& state) {
    TForm1& form = window(int(state.range(0)));
    showList(form, false);
    for (auto _ : state) {
        form.ui.PB1->repaint();
        settle();
    }
}

void Press(benchmark::State& state, QPushButton* MainWindowUi::*button, bool list) {
    TForm1& form = window(int(state.range(0)));
    showList(form, list);
    for (auto _ : state) {
        (form.ui.*button)->click();
        settle();
    }
    state.counters["records"] = form.CDS2.recordCount();
}

void AppendOnPage(benchmark::State& state) {
    Press(state, &MainWindowUi::Button4, false);
}
void DuplicateOnPage(benchmark::State& state) {
    Press(state, &MainWindowUi::Button9, false);
}
void AppendOnList(benchmark::State& state) {
    Press(state, &MainWindowUi::Button4, true);
}
void DuplicateOnList(benchmark::State& state) {
    Press(state, &MainWindowUi::Button9, true);
}

// Tabs 全, あ, か, ... in turn, with the list shown.
void TabChangeOnList(benchmark::State& state) {
    TForm1& form = window(int(state.range(0)));
    showList(form, true);
    int tab = 0;
    for (auto _ : state) {
        tab = (tab + 1) % 12;
        form.ui.TabControl1->setCurrentIndex(tab);
        settle();
    }
    form.ui.TabControl1->setCurrentIndex(0);
    settle();
}

// Clicks on the 名前 title under tab 全: ascending, descending, ...
void TitleSortOnList(benchmark::State& state) {
    TForm1& form = window(int(state.range(0)));
    showList(form, true);
    form.ui.TabControl1->setCurrentIndex(0);
    settle();
    for (auto _ : state) {
        form.DBGrid1TitleClick(1);
        settle();
    }
}

void counts(benchmark::internal::Benchmark* b) {
    for (const int count : benchrecords::Counts)
        b->Arg(count);
}

} // namespace

BENCHMARK(PageRepaint)->Unit(benchmark::kMillisecond)->Apply(counts);
BENCHMARK(AppendOnPage)->Unit(benchmark::kMillisecond)->Apply(counts);
BENCHMARK(DuplicateOnPage)->Unit(benchmark::kMillisecond)->Apply(counts);
BENCHMARK(AppendOnList)->Unit(benchmark::kMillisecond)->Apply(counts);
BENCHMARK(DuplicateOnList)->Unit(benchmark::kMillisecond)->Apply(counts);
BENCHMARK(TabChangeOnList)->Unit(benchmark::kMillisecond)->Apply(counts);
BENCHMARK(TitleSortOnList)->Unit(benchmark::kMillisecond)->Apply(counts);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    folder = &dir;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    windows.clear();
    return 0;
}
