// Counting the records that already carry ※ before an amount, so that turning the
// qualified mode on can say how many now print such lines at the reduced rate.
#include "invoice/MarkedRecords.h"

#include "platform/Cp932.h"
#include "records/Datapacket.h"
#include "records/Dataset.h"
#include "records/NewFileTemplate.h"

#include <gtest/gtest.h>

namespace {

QByteArray sj(const char* utf8) {
    return cp932::encode(QString::fromUtf8(utf8));
}

const char kTitles[] = "品目・仕様,数量,単位,単価,金額,備考\r\n";

Dataset recordsWith(std::initializer_list<std::pair<const char*, int>> sums) {
    Dataset data;
    data.setContent(datapacket::readXml(NewFileTemplate()).table);
    data.deleteRecord();
    int num = 0;
    for (auto [lines, lineCount] : sums) {
        data.append();
        data.setInteger("num", ++num);
        data.setText("Sum", sj(kTitles) + sj(lines));
        if (lineCount > 0)
            data.setInteger("linecount", lineCount);
        data.post();
    }
    return data;
}

} // namespace

TEST(MarkedRecords, CountsRecordsWithAMarkedLineThatCarriesAnAmount) {
    Dataset data = recordsWith({
        {"※米,2,袋,2480,,\r\n洗剤,2,個,398,,\r\n", 20}, // amount computed from the price
        {"※お茶,,,,894,\r\n※米,1,袋,2480,,\r\n", 0},    // two lines, one record; no linecount
        {"※以下余白,,,,,\r\n洗剤,2,個,398,,\r\n", 20},  // a marked note carries no amount
        {"洗剤,2,個,398,,\r\n備考※,,,,100,\r\n", 20},   // the mark only counts in front
        {"洗剤,1,個,398,,\r\n※米,1,袋,2480,,\r\n", 2},  // the marked line is beyond the table
    });
    EXPECT_EQ(invoice::RecordsWithMarkedAmounts(data), 2);

    // The view's filter hides nothing from the count; the record in editing counts as edited.
    data.setMasterFilter("cate", sj("あ"));
    data.first();
    EXPECT_EQ(invoice::RecordsWithMarkedAmounts(data), 2);
    data.clearMasterFilter();
    data.moveTo(3);
    data.edit();
    data.setText("Sum", sj(kTitles) + sj("※米,1,袋,2480,,\r\n"));
    EXPECT_EQ(invoice::RecordsWithMarkedAmounts(data), 3);

    EXPECT_EQ(invoice::MarkedRecordsNotice(3, 0.08),
              QString::fromUtf8("品目が※で始まり金額のある行を含むレコードが3件あります。\n\r"
                                "これらの行は軽減税率（8%）の対象として計算・印刷されます。"));
}
