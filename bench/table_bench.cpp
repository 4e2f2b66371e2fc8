// Cost of one page's worth of table work: decode a 99-line Sum, compute the
// amounts and totals, encode it back. The baseline only splits the same text at
// line ends and commas, the least any reader of this form must do.
#include "platform/Cp932.h"
#include "table/TableCsv.h"
#include "table/TableTotals.h"

#include <QList>
#include <QString>
#include <benchmark/benchmark.h>

namespace {

constexpr int kLineCount = 99;

QByteArray makeSum() {
    LineItemTable grid(kLineCount + 1);
    GridLoadCSV(grid, "");
    const QByteArray items[] = {
        cp932::encode(QStringLiteral("ソフトウェア保守 表計算")),
        cp932::encode(QStringLiteral("ｶｰﾄﾞ 名刺印刷, 両面")),
        cp932::encode(QStringLiteral("出張費　\"交通費\"")),
    };
    const QByteArray unit = cp932::encode(QStringLiteral("式"));
    for (int r = 1; r <= kLineCount; ++r) {
        grid.setCell(r, ColItem, items[r % 3]);
        grid.setCell(r, ColQuantity, r % 4 == 0 ? QByteArray("1.5") : QByteArray::number(r % 7));
        grid.setCell(r, ColUnit, unit);
        grid.setCell(r, ColUnitPrice, QByteArray::number(1000 + r * 37));
        grid.setCell(r, ColRemarks, r % 5 == 0 ? QByteArray(" ") : QByteArray());
    }
    return GridSaveCSV(grid);
}

void BM_LoadTotalsSave(benchmark::State& state) {
    const QByteArray sum = makeSum();
    LineItemTable grid(kLineCount + 1);
    for (auto _ : state) {
        GridLoadCSV(grid, sum);
        const TableTotals totals = SGkei(grid, 0.1);
        QByteArray saved = GridSaveCSV(grid);
        benchmark::DoNotOptimize(totals);
        benchmark::DoNotOptimize(saved);
    }
    state.SetBytesProcessed(state.iterations() * sum.size());
}
BENCHMARK(BM_LoadTotalsSave);

void BM_BaselineSplit(benchmark::State& state) {
    const QByteArray sum = makeSum();
    for (auto _ : state) {
        qsizetype fields = 0;
        for (const QByteArray& line : sum.split('\n')) {
            fields += line.split(',').size();
        }
        benchmark::DoNotOptimize(fields);
    }
    state.SetBytesProcessed(state.iterations() * sum.size());
}
BENCHMARK(BM_BaselineSplit);

} // namespace

BENCHMARK_MAIN();
