// The record list over a 10,000-record data file: a tab change (order by row, filter,
// the grid's rows) and a title sort by name (Japanese collation), each against a plain
// std::stable_sort of the same keys' bytes in the same run; and one posted edit while
// the name order is current (the view is ordered again at every post).
//   bench_recordlist_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
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
#include <vector>

namespace {

constexpr int Records = 10000;

// Names in kana of both kinds and in kanji, filed by their first character, in no order.
Dataset makeRecords() {
    Dataset d;
    d.setContent(datapacket::readXml(NewFileTemplate()).table);
    d.deleteRecord();
    const QStringList names = {
        QStringLiteral("やまだ"),   QStringLiteral("サトウ"),   QStringLiteral("鈴木"),
        QStringLiteral("たかはし"), QStringLiteral("ﾀﾅｶ"),      QStringLiteral("わたなべ"),
        QStringLiteral("伊藤"),     QStringLiteral("なかむら"), QStringLiteral("コバヤシ"),
        QStringLiteral("はやし"),   QStringLiteral("まつもと"), QStringLiteral("Smith"),
        QStringLiteral("らいおん"), QStringLiteral("あおき"),
    };
    for (int i = 0; i < Records; ++i) {
        const int k = int((i * 7919L) % names.size());
        const QByteArray name =
            cp932::encode(names[k] + QStringLiteral(" 商店%1").arg((i * 104729L) % 9973));
        d.append();
        d.setInteger("num", i + 1);
        d.setText("name", name);
        d.setText("cate", KanaRowOf(name));
        d.setText("addr", cp932::encode(QStringLiteral("東京都千代田区%1番地").arg(i % 50)));
        d.setDateTime("sday", QDateTime(QDate(2026, 1 + i % 12, 1 + i % 28), QTime(9, 30)));
        d.post();
    }
    return d;
}

struct Fixture {
    QTemporaryDir dir;
    Dataset records;
    std::vector<QByteArray> cateKeys;
    std::vector<QByteArray> nameKeys;
    Fixture() {
        const QString file = dir.filePath(QStringLiteral("list.dat"));
        Dataset made = makeRecords();
        DataFile::save(made, file);
        DataFile::load(records, file);
        for (records.first(); !records.eof(); records.next()) {
            cateKeys.push_back(records.asText("cate"));
            nameKeys.push_back(records.asText("name"));
        }
        records.first();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

bool bytesLess(const QByteArray& a, const QByteArray& b) {
    const int n = std::memcmp(a.constData(), b.constData(), size_t(std::min(a.size(), b.size())));
    return n != 0 ? n < 0 : a.size() < b.size();
}

// What a tab change does without widgets: order by row, the row's filter, the grid's rows.
void TabChange(benchmark::State& state) {
    Dataset& d = fixture().records;
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
        std::vector<QByteArray> keys = fixture().cateKeys;
        std::stable_sort(keys.begin(), keys.end(), bytesLess);
        benchmark::DoNotOptimize(keys.data());
    }
}

// Title clicks on 名前 under tab 全: ascending, descending, ascending, ...
void TitleSortByName(benchmark::State& state) {
    Dataset& d = fixture().records;
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
    Dataset& d = fixture().records;
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

void StableSortOfNameBytes(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<QByteArray> keys = fixture().nameKeys;
        std::stable_sort(keys.begin(), keys.end(), bytesLess);
        benchmark::DoNotOptimize(keys.data());
    }
}

// One edit of a list editor, posted, while the name order is current.
void PostUnderNameOrder(benchmark::State& state) {
    Dataset& d = fixture().records;
    d.clearMasterFilter();
    d.addIndex("name_IDX", "name");
    d.setIndexName("name_IDX");
    d.moveTo(Records / 2);
    int i = 0;
    for (auto _ : state) {
        d.setText("tel", QByteArray::number(i++));
        d.post();
    }
    d.setIndexFieldNames("cate");
}

} // namespace

BENCHMARK(TabChange)->Unit(benchmark::kMillisecond);
BENCHMARK(StableSortOfCateBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(TitleSortByName)->Unit(benchmark::kMillisecond);
BENCHMARK(TitleSortByNameViewOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(StableSortOfNameBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(PostUnderNameOrder)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
