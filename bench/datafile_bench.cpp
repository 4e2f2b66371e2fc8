// Load and save of a 10,000-record data file in both forms, against merely reading
// the file's bytes in the same run; a save keeping generations beside the plain save.
//   bench_datafile_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// `bench_datafile_bench --write FILE` only writes the data file (binary, or XML for
// ".xml") for timing whole processes over it.
#include "BenchRecords.h"
#include "records/BackupGenerations.h"
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

struct Files {
    QTemporaryDir dir;
    Dataset records = benchrecords::makeRecords();
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

// The same save keeping the replaced file as a generation, ten kept: each save links the
// old file aside and, once ten are there, removes the oldest.
void SaveKeepingGenerations(benchmark::State& state, bool xml) {
    const QString path =
        files().dir.filePath(xml ? QStringLiteral("kept.xml") : QStringLiteral("kept.dat"));
    const backups::Policy policy{10, files().dir.filePath(QStringLiteral("fallback"))};
    for (auto _ : state)
        if (!DataFile::save(files().records, path, policy).error.isEmpty())
            state.SkipWithError("save failed");
    setSize(state, path);
    state.counters["generations"] = double(backups::find(path, policy.fallbackRoot).size());
}

// What "バックアップから開く" reads before it shows: the sizes and record counts of ten
// generations of the file.
void ListGenerations(benchmark::State& state) {
    const QString path = files().dir.filePath(QStringLiteral("listed.dat"));
    const backups::Policy policy{10, files().dir.filePath(QStringLiteral("fallback"))};
    for (int i = 0; i < 11; ++i)
        DataFile::save(files().records, path, policy);
    for (auto _ : state) {
        const std::vector<backups::Generation> listed = backups::list(path, policy.fallbackRoot);
        if (listed.size() != 10 || listed.back().recordCount != benchrecords::Records)
            state.SkipWithError("not ten sound generations");
    }
}

} // namespace

BENCHMARK_CAPTURE(RawRead, binary, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, binary, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, binaryAndFree, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Save, binary, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SaveKeepingGenerations, binary, false)->Unit(benchmark::kMillisecond);
BENCHMARK(ListGenerations)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RawRead, xml, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, xml, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, xmlAndFree, true, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Save, xml, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SaveKeepingGenerations, xml, true)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--write") == 0) {
        Dataset records = benchrecords::makeRecords();
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
