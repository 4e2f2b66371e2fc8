// The record list over a data file of 10,000 and of 100,000 records: a tab change (order by
// row, filter, the grid's rows) and a title sort by name (Japanese collation), each against a
// plain std::stable_sort of the same keys' bytes in the same run; and one posted edit under
// each order a user can choose, once with the record staying in place and once moving.
//   bench_recordlist_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include "BenchRecords.h"
#include "platform/Cp932.h"
#include "records/CategoryRows.h"
#include "records/DataFile.h"
#include "records/Datapacket.h"
#include "records/Dataset.h"
#include "records/KanaRow.h"
#include "records/NewFileTemplate.h"
#include "records/RecordListModel.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

// Names in kana of both kinds and in kanji, filed by their first character, in no order.
Dataset makeRecords(int count) {
    PacketTable table = datapacket::readXml(NewFileTemplate()).table;
    table.rows.clear();
    const auto field = [&](const char* name) { return size_t(table.fieldIndex(name)); };
    const QStringList names = {
        QStringLiteral("やまだ"),   QStringLiteral("サトウ"),   QStringLiteral("鈴木"),
        QStringLiteral("たかはし"), QStringLiteral("ﾀﾅｶ"),      QStringLiteral("わたなべ"),
        QStringLiteral("伊藤"),     QStringLiteral("なかむら"), QStringLiteral("コバヤシ"),
        QStringLiteral("はやし"),   QStringLiteral("まつもと"), QStringLiteral("Smith"),
        QStringLiteral("らいおん"), QStringLiteral("あおき"),
    };
    for (int i = 0; i < count; ++i) {
        const int k = int((i * 7919L) % names.size());
        const QByteArray name =
            cp932::encode(names[k] + QStringLiteral(" 商店%1").arg((i * 104729L) % 9973));
        Row row(size_t(table.fields.size()));
        row[field("num")] = Value::fromInt(i + 1);
        row[field("name")] = Value::fromBytes(name);
        row[field("cate")] = Value::fromBytes(KanaRowOf(name));
        row[field("addr")] =
            Value::fromBytes(cp932::encode(QStringLiteral("東京都千代田区%1番地").arg(i % 50)));
        row[field("sday")] = Value::fromReal(
            Dataset::toStamp(QDateTime(QDate(2026, 1 + i % 12, 1 + i % 28), QTime(9, 30))));
        table.rows.push_back(std::move(row));
    }
    Dataset d;
    d.setContent(std::move(table));
    return d;
}

struct Fixture {
    QTemporaryDir dir;
    Dataset records;
    std::vector<QByteArray> cateKeys;
    std::vector<QByteArray> nameKeys;
    explicit Fixture(int count) {
        const QString file = dir.filePath(QStringLiteral("list.dat"));
        Dataset made = makeRecords(count);
        DataFile::save(made, file);
        DataFile::load(records, file);
        for (records.first(); !records.eof(); records.next()) {
            cateKeys.push_back(records.asText("cate"));
            nameKeys.push_back(records.asText("name"));
        }
        records.first();
    }
};

Fixture& fixture(int count) {
    static std::map<int, std::unique_ptr<Fixture>> made;
    std::unique_ptr<Fixture>& f = made[count];
    if (!f)
        f = std::make_unique<Fixture>(count);
    return *f;
}

bool bytesLess(const QByteArray& a, const QByteArray& b) {
    const int n = std::memcmp(a.constData(), b.constData(), size_t(std::min(a.size(), b.size())));
    return n != 0 ? n < 0 : a.size() < b.size();
}

// What a tab change does without widgets: order by row, the row's filter, the grid's rows.
void TabChange(benchmark::State& state) {
    Dataset& d = fixture(int(state.range(0))).records;
    RecordListModel model;
    const QList<QByteArray> heads = CategoryHeads();
    int tab = 0;
    for (auto _ : state) {
        d.setIndexFieldNames("cate");
        if (tab == 0)
            d.clearMasterFilter();
        else
            d.setMasterFilter("cate", heads[tab - 1]);
        model.reload(d);
        benchmark::DoNotOptimize(model.rowCount());
        tab = (tab + 1) % 12;
    }
    d.clearMasterFilter();
}

void StableSortOfCateBytes(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<QByteArray> keys = fixture(int(state.range(0))).cateKeys;
        std::stable_sort(keys.begin(), keys.end(), bytesLess);
        benchmark::DoNotOptimize(keys.data());
    }
}

// Title clicks on 名前 under tab 全: ascending, descending, ascending, ...
void TitleSortByName(benchmark::State& state) {
    Dataset& d = fixture(int(state.range(0))).records;
    d.clearMasterFilter();
    RecordListModel model;
    bool descending = false;
    for (auto _ : state) {
        const QByteArray name = descending ? "name_DESC" : "name_IDX";
        d.addIndex(name, "name", descending);
        d.setIndexName(name);
        model.reload(d);
        benchmark::DoNotOptimize(model.rowCount());
        descending = !descending;
    }
    d.setIndexFieldNames("cate");
}

void TitleSortByNameViewOnly(benchmark::State& state) {
    Dataset& d = fixture(int(state.range(0))).records;
    d.clearMasterFilter();
    bool descending = false;
    for (auto _ : state) {
        const QByteArray name = descending ? "name_DESC" : "name_IDX";
        d.addIndex(name, "name", descending);
        d.setIndexName(name);
        benchmark::DoNotOptimize(d.recNo());
        descending = !descending;
    }
    d.setIndexFieldNames("cate");
}

// The first title sort after a file is opened: the names' collation ranks are made then,
// once per distinct name, and kept for every later sort while the file stays open.
void FirstTitleSortByNameAfterOpening(benchmark::State& state) {
    Dataset& d = fixture(int(state.range(0))).records;
    d.clearMasterFilter();
    d.setIndexFieldNames("cate");
    for (auto _ : state) {
        state.PauseTiming();
        d.setContent(PacketTable(d.content()));
        state.ResumeTiming();
        d.addIndex("name_IDX", "name");
        d.setIndexName("name_IDX");
        benchmark::DoNotOptimize(d.recNo());
    }
    d.setIndexFieldNames("cate");
}

void StableSortOfNameBytes(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<QByteArray> keys = fixture(int(state.range(0))).nameKeys;
        std::stable_sort(keys.begin(), keys.end(), bytesLess);
        benchmark::DoNotOptimize(keys.data());
    }
}

// An order a user can choose: the tab (0 = 全, else a kana row) and the index, if any.
struct Order {
    int tab;
    const char* index; // nullptr: the row order a tab change gives
    const char* fields;
    bool descending;
};

void applyOrder(Dataset& d, const Order& order) {
    d.setIndexFieldNames("cate");
    if (order.tab == 0)
        d.clearMasterFilter();
    else
        d.setMasterFilter("cate", CategoryHeads()[order.tab - 1]);
    if (order.index) {
        d.addIndex(order.index, order.fields, order.descending);
        d.setIndexName(order.index);
    }
}

// One edit of a list editor, posted, under `order`. With `moving` the edit changes the
// sort field, so the record leaves its place (a name typed into 名前, a date into sday);
// otherwise it changes the telephone number, which no order here looks at.
void Post(benchmark::State& state, Order order, bool moving) {
    Dataset& d = fixture(int(state.range(0))).records;
    applyOrder(d, order);
    d.moveTo(d.recordCount() / 2);
    const QByteArray field = order.index ? QByteArray(order.fields).split(';').last() : "cate";
    const QByteArray head = order.tab > 0 ? CategoryHeads()[order.tab - 1] : QByteArray();
    int i = 0;
    for (auto _ : state) {
        ++i;
        if (!moving) {
            d.setText("tel", QByteArray::number(i));
        } else if (field == "sday") {
            d.setDateTime("sday", QDateTime(QDate(2026, 1 + i % 12, 1 + i % 28), QTime(8, 0)));
        } else if (field == "cate") {
            // Re-filed from row to row under 全 (a kana tab would lose the record).
            d.setText("cate", CategoryHeads()[i % 11]);
        } else {
            // The first sound stays in the tab's row, the rest moves the record far.
            const QString name = (i % 2 ? QStringLiteral("かわい ") : QStringLiteral("こばやし ")) +
                                 QString::number(i % 9973);
            d.setText("name", cp932::encode(name));
            if (!head.isEmpty())
                d.setText("cate", head);
        }
        d.post();
        benchmark::DoNotOptimize(d.recNo());
    }
    d.setIndexFieldNames("cate");
    d.clearMasterFilter();
}

void registerPosts() {
    const std::pair<const char*, Order> orders[] = {
        {"RowOrder", {0, nullptr, nullptr, false}},
        {"Name", {0, "name_IDX", "name", false}},
        {"NameDescending", {0, "name_DESC", "name", true}},
        {"Date", {0, "sday_IDX", "sday", false}},
        {"KanaTabNameDescending", {2, "cate;name_DESC", "cate;name", true}},
    };
    for (const auto& [name, order] : orders)
        for (const bool moving : {false, true}) {
            const std::string title =
                std::string("PostUnder") + name + (moving ? "/moving" : "/inPlace");
            benchmark::RegisterBenchmark(title.c_str(), Post, order, moving)
                ->Unit(benchmark::kMicrosecond)
                ->Arg(benchrecords::Counts[0])
                ->Arg(benchrecords::Counts[1]);
        }
}

void counts(benchmark::internal::Benchmark* b) {
    for (const int count : benchrecords::Counts)
        b->Arg(count);
}

} // namespace

BENCHMARK(TabChange)->Unit(benchmark::kMillisecond)->Apply(counts);
BENCHMARK(StableSortOfCateBytes)->Unit(benchmark::kMillisecond)->Apply(counts);
BENCHMARK(TitleSortByName)->Unit(benchmark::kMillisecond)->Apply(counts);
BENCHMARK(TitleSortByNameViewOnly)->Unit(benchmark::kMillisecond)->Apply(counts);
BENCHMARK(FirstTitleSortByNameAfterOpening)->Unit(benchmark::kMillisecond)->Apply(counts);
BENCHMARK(StableSortOfNameBytes)->Unit(benchmark::kMillisecond)->Apply(counts);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    registerPosts();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
