// Load and save of a 10,000-record data file in both forms, against merely reading
// the file's bytes in the same run.
//   bench_datafile_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// `bench_datafile_bench --write FILE` only writes the data file (binary, or XML for
// ".xml") for timing whole processes over it.
#include "platform/Cp932.h"
#include "records/DataFile.h"
#include "records/Datapacket.h"
#include "records/Dataset.h"
#include "records/NewFileTemplate.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/resource.h>

namespace {

constexpr int Records = 10000;

QByteArray sjis(const QString& s) {
    return cp932::encode(s);
}

// Plausible records: CP932 names and addresses, a 20-line Sum table, a memo.
Dataset makeRecords() {
    Dataset d;
    d.setContent(datapacket::readXml(NewFileTemplate()).table);
    d.deleteRecord();
    const QStringList families = {QStringLiteral("山田"), QStringLiteral("佐藤"),
                                  QStringLiteral("鈴木"), QStringLiteral("高橋"),
                                  QStringLiteral("田中")};
    const QStringList heads = {QStringLiteral("や"), QStringLiteral("さ"), QStringLiteral("さ"),
                               QStringLiteral("た"), QStringLiteral("た")};
    for (int i = 0; i < Records; ++i) {
        QString sum = QStringLiteral("品名・規格,数量,単位,単価,金額,備考\r\n");
        for (int line = 1; line <= 20; ++line)
            sum += QStringLiteral("\"商品%1 規格Ａ-%2, 特注\",%3,個,%4,%5,納期～%6日\r\n")
                       .arg(line)
                       .arg(i % 97)
                       .arg(line % 7 + 1)
                       .arg(1200 + line * 10)
                       .arg((line % 7 + 1) * (1200 + line * 10))
                       .arg(line);
        d.append();
        d.setInteger("num", i + 1);
        d.setText("cate", sjis(heads[i % 5]));
        d.setText("name", sjis(families[i % 5] + QStringLiteral(" 商店 第%1支店").arg(i)));
        d.setDateTime("sday",
                      QDateTime(QDate(2026, 1 + i % 12, 1 + i % 28), QTime(9, 30, 15, i % 1000)));
        d.setDateTime("day", QDateTime(QDate(2026, 1 + i % 12, 1 + i % 28), QTime()));
        d.setText("pcode", "100-0001");
        d.setText("addr", sjis(QStringLiteral("東京都千代田区千代田１丁目%1番地 ＡＢＣビル%2階")
                                   .arg(i % 50)
                                   .arg(i % 9)));
        d.setText("tel", "03-1234-5678");
        d.setText("Sum", sjis(sum));
        d.setText("other", sjis(QStringLiteral("担当：経理部\r\n支払条件：月末締め翌月末払い")));
        d.setText("memo",
                  sjis(QStringLiteral(
                      "毎度ありがとうございます。\r\n振込手数料は御社負担でお願いします。")));
        d.setText("honorifics", sjis(QStringLiteral("様")));
        d.setInteger("lineheight", 24);
        d.setInteger("linecount", 21);
        for (int c = 1; c <= 5; ++c)
            d.setInteger(QByteArray("line") + QByteArray::number(c), 60 + c * 10);
        d.setFloat("SalesTax", 0.1);
        d.post();
    }
    return d;
}

struct Files {
    QTemporaryDir dir;
    Dataset records = makeRecords();
    QString binary = dir.filePath(QStringLiteral("bench.dat"));
    QString xml = dir.filePath(QStringLiteral("bench.xml"));
    Files() {
        DataFile::save(records, binary);
        DataFile::save(records, xml);
    }
};

Files& files() {
    static Files f;
    return f;
}

void setSize(benchmark::State& state, const QString& path) {
    state.counters["file_bytes"] = double(QFile(path).size());
}

// The baseline: only the read, into a buffer allocated and touched once outside the
// timing. (readAll sizes its array to the next power of two; for the 19 MB XML file that
// is above glibc's largest mmap threshold, so every call mapped, faulted in and unmapped
// 32 MB, and the "read" cost ten times the binary one.)
void RawRead(benchmark::State& state, bool xml) {
    const QString path = xml ? files().xml : files().binary;
    QByteArray buffer(QFile(path).size(), '\0');
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        if (f.read(buffer.data(), buffer.size()) != buffer.size())
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer.data());
    }
    setSize(state, path);
}

// Loading into a dataset that already holds a file, as the program does; freeing the
// old records is counted apart (LoadAndFree) since it is not the reader's work.
void Load(benchmark::State& state, bool xml, bool countFree) {
    const QString path = xml ? files().xml : files().binary;
    for (auto _ : state) {
        auto d = std::make_unique<Dataset>();
        if (!DataFile::load(*d, path).isEmpty())
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(d->recordCount());
        if (!countFree)
            state.PauseTiming();
        d.reset();
        if (!countFree)
            state.ResumeTiming();
    }
    setSize(state, path);
}

void Save(benchmark::State& state, bool xml) {
    const QString path =
        files().dir.filePath(xml ? QStringLiteral("out.xml") : QStringLiteral("out.dat"));
    for (auto _ : state)
        if (!DataFile::save(files().records, path).isEmpty())
            state.SkipWithError("save failed");
    setSize(state, path);
}

} // namespace

BENCHMARK_CAPTURE(RawRead, binary, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, binary, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, binaryAndFree, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Save, binary, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RawRead, xml, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, xml, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, xmlAndFree, true, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Save, xml, true)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--write") == 0) {
        Dataset records = makeRecords();
        const QString error = DataFile::save(records, QString::fromLocal8Bit(argv[2]));
        if (!error.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(error));
        return error.isEmpty() ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    files();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %ld KiB\n", usage.ru_maxrss);
    return 0;
}
