// Load and save of a data file of 10,000 and of 100,000 records in both forms, against
// merely reading the file's bytes, and merely writing the saved bytes to a temporary file
// renamed over the target, in the same run; a save keeping generations beside the plain save.
//   bench_datafile_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// `bench_datafile_bench --write FILE [RECORDS]` only writes the data file (binary, or XML for
// ".xml") for timing whole processes over it.
#include "BenchRecords.h"
#include "records/BackupGenerations.h"
#include "records/DataFile.h"
#include "records/Datapacket.h"
#include "records/Dataset.h"
#include "records/NewFileTemplate.h"
#include "sharedfile/FileIdentity.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/resource.h>

namespace {

struct Files {
    QTemporaryDir dir;
    Dataset records;
    QString binary = dir.filePath(QStringLiteral("bench.dat"));
    QString xml = dir.filePath(QStringLiteral("bench.xml"));
    explicit Files(int count) : records(benchrecords::makeRecords(count)) {
        DataFile::save(records, binary);
        DataFile::save(records, xml);
    }
};

// One set of files at a time: the large one alone is a quarter of a gigabyte.
Files& files(const benchmark::State& state) {
    static std::unique_ptr<Files> f;
    static int made = 0;
    if (made != int(state.range(0))) {
        f.reset();
        f = std::make_unique<Files>(int(state.range(0)));
        made = int(state.range(0));
    }
    return *f;
}

void setSize(benchmark::State& state, const QString& path) {
    state.counters["file_bytes"] = double(QFile(path).size());
}

// The baseline: only the read, into a buffer allocated and touched once outside the
// timing. (readAll sizes its array to the next power of two; for the 19 MB XML file that
// is above glibc's largest mmap threshold, so every call mapped, faulted in and unmapped
// 32 MB, and the "read" cost ten times the binary one.)
void RawRead(benchmark::State& state, bool xml) {
    const QString path = xml ? files(state).xml : files(state).binary;
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
    const QString path = xml ? files(state).xml : files(state).binary;
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

// What an open adds where the file system keeps whole seconds only: the file's identity
// with a hash of its bytes, read a second time (from the cache, as just after a load).
void IdentityWithHash(benchmark::State& state, bool xml) {
    const QString path = xml ? files(state).xml : files(state).binary;
    for (auto _ : state) {
        std::uint64_t hash = 0;
        if (!sharedfile::hashFile(path, hash))
            state.SkipWithError("hash failed");
        benchmark::DoNotOptimize(hash);
    }
    setSize(state, path);
}

// Loading where file times are coarse: the bytes hashed as the load reads them.
void LoadHashing(benchmark::State& state, bool xml) {
    const QString path = xml ? files(state).xml : files(state).binary;
    for (auto _ : state) {
        auto d = std::make_unique<Dataset>();
        sharedfile::ByteHasher hasher;
        if (!DataFile::load(*d, path, [&](const char* data, qsizetype size) {
                 hasher.add(data, size_t(size));
             }).isEmpty())
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(hasher.finish());
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
    setSize(state, path);
}

// The floor of a save: the bytes a save writes, made once, written to a temporary file in
// the same folder and renamed over the target, as every save does.
void WriteAndRename(benchmark::State& state, bool xml) {
    const QString path =
        files(state).dir.filePath(xml ? QStringLiteral("floor.xml") : QStringLiteral("floor.dat"));
    const QByteArray bytes = xml ? datapacket::writeXml(files(state).records.content())
                                 : datapacket::writeBinary(files(state).records.content());
    for (auto _ : state) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            state.SkipWithError("write failed");
    }
    setSize(state, path);
}

void Save(benchmark::State& state, bool xml) {
    const QString path =
        files(state).dir.filePath(xml ? QStringLiteral("out.xml") : QStringLiteral("out.dat"));
    for (auto _ : state)
        if (!DataFile::save(files(state).records, path).isEmpty())
            state.SkipWithError("save failed");
    setSize(state, path);
}

// Changes the last record's number back and forth: the file keeps its size and differs
// only near its end, the most a save's comparison with the replaced file can read.
void changeLastRecord(Dataset& records) {
    records.last();
    records.edit();
    records.setInteger("num", records.asInteger("num") ^ 1);
    records.post();
}

// The same save keeping the replaced file as a generation, ten kept: each save changes
// the last record, compares what it writes with the replaced file, links the old file
// aside and, once ten are there, removes the oldest.
void SaveKeepingGenerations(benchmark::State& state, bool xml) {
    const QString path =
        files(state).dir.filePath(xml ? QStringLiteral("kept.xml") : QStringLiteral("kept.dat"));
    const backups::Policy policy{10, files(state).dir.filePath(QStringLiteral("fallback"))};
    Dataset& records = files(state).records;
    for (auto _ : state) {
        changeLastRecord(records);
        if (!DataFile::save(records, path, policy).error.isEmpty())
            state.SkipWithError("save failed");
    }
    setSize(state, path);
    state.counters["generations"] = double(backups::find(path, policy.fallbackRoot).size());
}

// A save that changes nothing, keeping generations: the written bytes are compared with
// the whole replaced file, and no generation is kept.
void SaveUnchangedKeepingGenerations(benchmark::State& state, bool xml) {
    const QString path =
        files(state).dir.filePath(xml ? QStringLiteral("same.xml") : QStringLiteral("same.dat"));
    const backups::Policy policy{10, files(state).dir.filePath(QStringLiteral("fallback"))};
    for (auto _ : state)
        if (!DataFile::save(files(state).records, path, policy).error.isEmpty())
            state.SkipWithError("save failed");
    setSize(state, path);
    state.counters["generations"] = double(backups::find(path, policy.fallbackRoot).size());
}

// What "バックアップから開く" reads, off the window's thread, while it shows: the sizes and
// record counts of ten generations of the file.
void ListGenerations(benchmark::State& state) {
    const QString path = files(state).dir.filePath(QStringLiteral("listed.dat"));
    const backups::Policy policy{10, files(state).dir.filePath(QStringLiteral("fallback"))};
    for (int i = 0; i < 11; ++i) {
        changeLastRecord(files(state).records);
        DataFile::save(files(state).records, path, policy);
    }
    for (auto _ : state) {
        const std::vector<backups::Generation> listed = backups::list(path, policy.fallbackRoot);
        if (listed.size() != 10 || listed.back().recordCount != int(state.range(0)))
            state.SkipWithError("not ten sound generations");
    }
}

// By record count first, so each set of files is made once.
void registerAll() {
    for (const int count : benchrecords::Counts) {
        const auto add = [count](const char* name, auto&& fn) {
            benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->Arg(count);
        };
        add("RawRead/binary", [](benchmark::State& s) { RawRead(s, false); });
        add("Load/binary", [](benchmark::State& s) { Load(s, false, false); });
        add("Load/binaryAndFree", [](benchmark::State& s) { Load(s, false, true); });
        add("IdentityWithHash/binary", [](benchmark::State& s) { IdentityWithHash(s, false); });
        add("LoadHashing/binary", [](benchmark::State& s) { LoadHashing(s, false); });
        add("WriteAndRename/binary", [](benchmark::State& s) { WriteAndRename(s, false); });
        add("Save/binary", [](benchmark::State& s) { Save(s, false); });
        add("SaveKeepingGenerations/binary",
            [](benchmark::State& s) { SaveKeepingGenerations(s, false); });
        add("SaveUnchangedKeepingGenerations/binary",
            [](benchmark::State& s) { SaveUnchangedKeepingGenerations(s, false); });
        add("ListGenerations/binary", [](benchmark::State& s) { ListGenerations(s); });
        add("RawRead/xml", [](benchmark::State& s) { RawRead(s, true); });
        add("Load/xml", [](benchmark::State& s) { Load(s, true, false); });
        add("Load/xmlAndFree", [](benchmark::State& s) { Load(s, true, true); });
        add("IdentityWithHash/xml", [](benchmark::State& s) { IdentityWithHash(s, true); });
        add("LoadHashing/xml", [](benchmark::State& s) { LoadHashing(s, true); });
        add("WriteAndRename/xml", [](benchmark::State& s) { WriteAndRename(s, true); });
        add("Save/xml", [](benchmark::State& s) { Save(s, true); });
        add("SaveKeepingGenerations/xml",
            [](benchmark::State& s) { SaveKeepingGenerations(s, true); });
        add("SaveUnchangedKeepingGenerations/xml",
            [](benchmark::State& s) { SaveUnchangedKeepingGenerations(s, true); });
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--write") == 0) {
        Dataset records =
            benchrecords::makeRecords(argc == 4 ? std::atoi(argv[3]) : benchrecords::Records);
        const QString error = DataFile::save(records, QString::fromLocal8Bit(argv[2]));
        if (!error.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(error));
        return error.isEmpty() ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %ld KiB\n", usage.ru_maxrss);
    return 0;
}
