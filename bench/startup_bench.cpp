// Time from process start to the first painted page, measured on fresh processes of this
// program: the parent notes the clock, starts a child that builds the main window and
// reports the clock when PB1 has first been painted. The baseline children show a bare
// QMainWindow in the same way, empty and with a page's worth of Japanese text, so the
// figures can be read as ratios on a noisy machine.
//
//   bench_startup_bench --benchmark_repetitions=15 --benchmark_report_aggregates_only=true
#include "BenchRecords.h"
#include "app/QtDialogService.h"
#include "app/TForm1.h"
#include "platform/PrinterDeviceQt.h"
#include "records/DataFile.h"
#include "records/Dataset.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QMainWindow>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

qint64 nowNs() {
    // steady_clock is CLOCK_MONOTONIC, the same for every process of the machine.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void reportPaintedAndQuit() {
    std::printf("%lld\n", static_cast<long long>(nowNs()));
    std::fflush(stdout);
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

class BareWindow : public QMainWindow {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), Qt::white);
        reportPaintedAndQuit();
    }
};

// A second floor: a bare window that draws what any page of a Japanese document needs, a
// title, a name and sixty lines of Japanese text and figures at the page's four sizes in
// IPAGothic. What the program spends beyond this is its own.
class JapaneseTextWindow : public QMainWindow {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        QFont font(QStringLiteral("IPAGothic"));
        const auto text = [&](int pixels, int y, const QString& line) {
            font.setPixelSize(pixels);
            painter.setFont(font);
            painter.drawText(QRect(10, y, width() - 20, pixels + 4), Qt::AlignLeft, line);
        };
        text(24, 10, QStringLiteral("御 見 積 書"));
        text(21, 40, QStringLiteral("山田商店 第12支店 様"));
        text(16, 70, QStringLiteral("見積金額 ￥1,234,567"));
        for (int i = 0; i < 60; ++i)
            text(11, 100 + 14 * i,
                 QStringLiteral("棚板 ボルト 金具 %1 個 単価 %2 円 金額 %3 円 備考 納期")
                     .arg(i + 1)
                     .arg(1500 + i * 10)
                     .arg((i + 1) * (1500 + i * 10)));
        reportPaintedAndQuit();
    }
};

// Child: `--child bare`, `--child japanese` or `--child ledora <settings.ini> <folder>`.
int runChild(int argc, char** argv) {
    QApplication app(argc, argv);
    const QByteArray mode = argv[2];
    if (mode == "bare") {
        BareWindow window;
        window.resize(500, 500);
        window.show();
        return app.exec();
    }
    if (mode == "japanese") {
        JapaneseTextWindow window;
        window.resize(800, 980);
        window.show();
        return app.exec();
    }
    QtDialogService dialogs;
    TForm1Options options;
    options.dialogs = &dialogs;
    options.settingsPath = QString::fromLocal8Bit(argv[3]);
    options.executableDir = QString::fromLocal8Bit(argv[4]);
    options.printer = PrinterDeviceQt::createPdf();
    const QString settingsPath = options.settingsPath;
    auto form = std::make_unique<TForm1>(std::move(options));
    QObject::connect(form->ui.PB1, &PaintBox::painted, &app, [] {
        static bool reported = false;
        if (reported)
            return;
        reported = true;
        std::printf("%lld\n", static_cast<long long>(nowNs()));
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    });
    form->show();
    // exit() rather than quit(): quitting would ask the exit question first.
    const int rc = app.exec();
    form.reset();
    // Every run starts from the same settings.
    QFile::remove(settingsPath);
    return rc;
}

// The benchmark records' file, as a shop would open it after years of use.
void writeDataFile(const QString& path, int count) {
    Dataset records = benchrecords::makeRecords(count);
    if (!DataFile::save(records, path).isEmpty())
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

// Starts a child and returns the nanoseconds from just before its start to its first paint.
qint64 timeChild(const QStringList& arguments) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    const qint64 start = nowNs();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(60000))
        return -1;
    const QByteArray out = child.readAllStandardOutput().trimmed();
    bool ok = false;
    const qint64 painted = out.split('\n').last().toLongLong(&ok);
    return ok ? painted - start : -1;
}

void runTimed(benchmark::State& state, const QStringList& arguments) {
    for (auto _ : state) {
        const qint64 ns = timeChild(arguments);
        if (ns < 0) {
            state.SkipWithError("child failed");
            return;
        }
        state.SetIterationTime(static_cast<double>(ns) / 1e9);
    }
}

QTemporaryDir* folder = nullptr;

void BM_BareQtWindow(benchmark::State& state) {
    runTimed(state, {QStringLiteral("--child"), QStringLiteral("bare")});
}

void BM_BareWindowWithJapaneseText(benchmark::State& state) {
    runTimed(state, {QStringLiteral("--child"), QStringLiteral("japanese")});
}

void BM_StartupWithoutDataFile(benchmark::State& state) {
    const QString ini = folder->filePath(QStringLiteral("empty.ini"));
    runTimed(state, {QStringLiteral("--child"), QStringLiteral("ledora"), ini, folder->path()});
}

QString dataFileName(int count) {
    return QStringLiteral("big%1.dat").arg(count);
}

// The start-up with a data file of state.range(0) records.
void BM_StartupWithRecords(benchmark::State& state) {
    const QString data = folder->filePath(dataFileName(int(state.range(0))));
    const QString ini = folder->filePath(QStringLiteral("big.ini"));
    for (auto _ : state) {
        // Each run ends by removing its settings, so the recent file is named afresh.
        state.PauseTiming();
        QFile file(ini);
        file.open(QIODevice::WriteOnly);
        file.write("[history]\r\nhistory1=" + data.toLocal8Bit() + "\r\n");
        file.close();
        state.ResumeTiming();
        const qint64 ns =
            timeChild({QStringLiteral("--child"), QStringLiteral("ledora"), ini, folder->path()});
        if (ns < 0) {
            state.SkipWithError("child failed");
            return;
        }
        state.SetIterationTime(static_cast<double>(ns) / 1e9);
    }
}

BENCHMARK(BM_BareQtWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_BareWindowWithJapaneseText)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_StartupWithoutDataFile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StartupWithRecords)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Arg(benchrecords::Counts[0])
    ->Arg(benchrecords::Counts[1]);

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);

    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    folder = &dir;
    for (const int count : benchrecords::Counts)
        writeDataFile(dir.filePath(dataFileName(count)), count);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
