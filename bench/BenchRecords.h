#pragma once
// The records the benchmarks load and start with: a shop's file of years, 10,000
// documents of about 13 MB in the binary form.
#include "platform/Cp932.h"
#include "records/Dataset.h"
#include "records/Datapacket.h"
#include "records/NewFileTemplate.h"

#include <QDateTime>
#include <QStringList>

namespace benchrecords {

inline constexpr int Records = 10000;

inline QByteArray sjis(const QString& s) {
    return cp932::encode(s);
}

// Plausible records: CP932 names and addresses, a 20-line Sum table, a memo.
inline Dataset makeRecords() {
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

} // namespace benchrecords
