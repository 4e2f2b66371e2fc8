#include "records/RecordDefaults.h"

#include "platform/Cp932.h"
#include "records/CategoryRows.h"
#include "records/Dataset.h"

namespace {
constexpr const char* kContentFields[] = {"name", "pcode", "addr", "tel", "Sum", "other", "memo"};
constexpr const char* kLayoutFields[] = {"line1", "line2",      "line3",    "line4",
                                         "line5", "lineheight", "linecount"};
constexpr const char* kWidthFields[] = {"line1", "line2", "line3", "line4", "line5"};
constexpr int kKanaTabs = 10;
} // namespace

std::array<int, 5> DefaultColumnWidths(int margin) {
    return {margin + 220, 40, 40, 90, 90};
}

QByteArray CategoryForTab(int tab) {
    if (tab >= 1 && tab <= kKanaTabs)
        return CategoryHeads().value(tab - 1);
    return cp932::encode(QString::fromUtf8(kOtherHead));
}

QString TabHead(int tab) {
    if (tab == 0)
        return QString::fromUtf8(kAllRecordsHead);
    const QList<QByteArray> heads = CategoryHeads();
    if (tab >= 1 && tab <= heads.size())
        return cp932::decode(heads[tab - 1]);
    return {};
}

QString TaxPercentText(double rate) {
    // 15 digits hide the binary noise of the product (0.07 x 100 = 7.000000000000001).
    return QString::number(rate * 100.0, 'g', 15);
}

void ApplyNewRecordDefaults(Dataset& records, const NewRecordValues& values) {
    records.setDateTime("day", values.now);
    records.setDateTime("sday", values.now);
    for (const char* field : kContentFields)
        records.setText(field, QByteArray());
    records.setText("honorifics", cp932::encode(QString::fromUtf8(kNewRecordHonorific)));
    records.setInteger("lineheight", kNewRecordLineHeight);
    records.setInteger("linecount", kNewRecordLineCount);
    for (int i = 0; i < 5; ++i)
        records.setInteger(kWidthFields[i], values.columnWidths[size_t(i)]);
    records.setFloat("SalesTax", values.salesTaxRate);
}

void ClearRecordContents(Dataset& records, const QDateTime& now) {
    records.edit();
    records.setDateTime("day", now);
    records.setDateTime("sday", now);
    for (const char* field : kContentFields)
        records.setText(field, QByteArray());
    records.setText("cate", cp932::encode(QString::fromUtf8(kOtherHead)));
}

bool HasLayoutValues(const Dataset& records) {
    for (const char* field : kLayoutFields)
        if (!records.isNull(field))
            return true;
    return false;
}
