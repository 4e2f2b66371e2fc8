// One keystroke in the record list's search box over the benchmark file (10,000 records,
// and ten times as many): the match set made (folded texts kept from the keystroke
// before), the view filtered and ordered, and the grid's rows taken and painted. A tab
// change, the same work with the kana-row filter in place of the search, is the
// baseline measured in the same run. The first search, which folds every record once,
// is measured apart.
//   bench_search_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "BenchRecords.h"
#include "records/CategoryRows.h"
#include "records/DataFile.h"
#include "records/RecordListModel.h"
#include "records/RecordSearch.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

// The benchmark records, saved and loaded again so that the values point into one file's
// bytes, as they do after an open.
struct Fixture {
    QTemporaryDir dir;
    Dataset records;
    RecordSearch search;
    RecordListModel model;
    QTableView grid;

    explicit Fixture(int count) {
        Dataset made = benchrecords::makeRecords(count);
        const QString file = dir.filePath(QStringLiteral("search.dat"));
        DataFile::save(made, file);
        DataFile::load(records, file);
        records.setIndexFieldNames("cate");
        grid.setModel(&model);
        grid.resize(900, 600);
        grid.show();
        search.match(records.content(), QStringLiteral("x")); // folds every record once
    }

    // What the window does for a keystroke, without the editors under the grid.
    void keystroke(const QString& text) {
        records.post();
        records.setRowFilter(search.match(records.content(), text));
        model.reload(records);
        grid.viewport()->repaint();
    }
};

Fixture& fixture(int count) {
    static std::map<int, std::unique_ptr<Fixture>> made;
    std::unique_ptr<Fixture>& f = made[count];
    if (!f)
        f = std::make_unique<Fixture>(count);
    return *f;
}

// Typing 田中 商店 第1 one character at a time, then deleting it all again, each round as
// if for the first time: the first character searches all records, each next one only the
// result before it, and each deletion finds the result it goes back to kept.
void TypingAndDeleting(benchmark::State& state) {
    Fixture& f = fixture(int(state.range(0)));
    const QString typed = QStringLiteral("田中 商店 第1");
    std::vector<QString> steps;
    for (qsizetype n = 1; n <= typed.size(); ++n)
        steps.push_back(typed.left(n));
    for (qsizetype n = typed.size() - 1; n >= 1; --n)
        steps.push_back(typed.left(n));
    size_t i = 0;
    for (auto _ : state) {
        if (i == 0)
            f.search.forgetResults();
        f.keystroke(steps[i]);
        i = (i + 1) % steps.size();
    }
    state.counters["shown"] = f.records.recordCount();
    f.records.clearRowFilter();
}

// The worst keystroke: a word no record holds, searched through every text, each time.
// Forty such words, none part of another, take turns: more than the results kept, so no
// word is answered from a kept result or narrows one.
void EveryRecordSearched(benchmark::State& state) {
    Fixture& f = fixture(int(state.range(0)));
    int word = 10;
    for (auto _ : state) {
        f.keystroke(QStringLiteral("存%1").arg(word));
        word = word == 49 ? 10 : word + 1;
    }
    f.records.clearRowFilter();
}

// Baseline: a tab change (order by row, the row's filter, the grid's rows and paint).
void TabChange(benchmark::State& state) {
    Fixture& f = fixture(int(state.range(0)));
    const QList<QByteArray> heads = CategoryHeads();
    int tab = 0;
    for (auto _ : state) {
        f.records.setIndexFieldNames("cate");
        if (tab == 0)
            f.records.clearMasterFilter();
        else
            f.records.setMasterFilter("cate", heads[tab - 1]);
        f.model.reload(f.records);
        f.grid.viewport()->repaint();
        tab = (tab + 1) % 12;
    }
    f.records.clearMasterFilter();
}

// The first search of a file: every record folded.
void FirstSearch(benchmark::State& state) {
    Fixture& f = fixture(int(state.range(0)));
    for (auto _ : state) {
        RecordSearch fresh;
        benchmark::DoNotOptimize(fresh.match(f.records.content(), QStringLiteral("田")));
    }
    double bytes = 0;
    for (int row = 0; row < f.search.texts().size(); ++row)
        bytes += double(f.search.texts().text(row).size());
    state.counters["foldedMB"] = bytes / 1e6;
}

} // namespace

BENCHMARK(TabChange)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(TypingAndDeleting)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(EveryRecordSearched)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstSearch)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
