#include "invoice/MarkedRecords.h"

#include "invoice/RateGroups.h"
#include "records/Dataset.h"
#include "records/RecordDefaults.h"
#include "table/TableCsv.h"
#include "table/TableTotals.h"

namespace invoice {

namespace {

const char* const kMarkedRecords = "品目が※で始まり金額のある行を含むレコードが%1件あります。\n\r"
                                   "これらの行は軽減税率（%2%）の対象として計算・印刷されます。";

} // namespace

int RecordsWithMarkedAmounts(const Dataset& records) {
    const int sumField = records.fieldIndex("Sum");
    const int lineCountField = records.fieldIndex("linecount");
    if (sumField < 0)
        return 0;
    const FieldType sumType = records.fields()[sumField].type;
    int count = 0;
    const int rows = int(records.content().rows.size());
    for (int row = 0; row < rows; ++row) {
        const QByteArray sum = Dataset::textOf(sumType, records.rowValue(row, sumField));
        // Most records hold no mark at all; only those are read as a table.
        if (!sum.contains(kReducedRateMark))
            continue;
        const Value lineCount = records.rowValue(row, lineCountField);
        LineItemTable grid(lineCount.isNull() ? kNewRecordLineCount
                                              : Dataset::integerOf(lineCount));
        GridLoadCSV(grid, sum);
        SGkei(grid, 0); // the amounts the page computes from quantity and price
        for (int r = 1; r <= grid.lineCount(); ++r) {
            if (IsReducedRateItem(grid.cell(r, ColItem)) && LineAmount(grid, r) != 0) {
                ++count;
                break;
            }
        }
    }
    return count;
}

QString MarkedRecordsNotice(int count, double reducedRate) {
    return QString::fromUtf8(kMarkedRecords).arg(count).arg(RatePercentText(reducedRate));
}

} // namespace invoice
