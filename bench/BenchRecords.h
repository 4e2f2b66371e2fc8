#pragma once
// The records the benchmarks load and start with: a shop's file of years, 10,000
// documents of about 13 MB in the binary form (100,000 of about 130 MB for the large runs).
#include "platform/Cp932.h"
#include "records/Datapacket.h"
#include "records/Dataset.h"
#include "records/NewFileTemplate.h"

#include <QDateTime>
#include <QStringList>

namespace benchrecords {

inline constexpr int Records = 10000;
// The record counts the benchmarks that grow with the file run at, side by side.
inline constexpr int Counts[] = {10000, 100000};

inline QByteArray sjis(const QString& s) {
    return cp932::encode(s);
}

// Plausible records: CP932 names and addresses, a 20-line Sum table, a memo. The rows are
// put in at once, not appended one by one, so a large file is made in seconds.
inline Dataset makeRecords(int count = Records) {
    Dataset d;
    PacketTable table = datapacket::readXml(NewFileTemplate()).table;
    table.rows.clear();
    const auto field = [&](const char* name) { return size_t(table.fieldIndex(name)); };
    const auto text = [](const QString& s) { return Value::fromBytes(sjis(s)); };
    const auto stamp = [](const QDateTime& t) { return Value::fromReal(Dataset::toStamp(t)); };
    const QStringList families = {QStringLiteral("山田"), QStringLiteral("佐藤"),
                                  QStringLiteral("鈴木"), QStringLiteral("高橋"),
                                  QStringLiteral("田中")};
    const QStringList heads = {QStringLiteral("や"), QStringLiteral("さ"), QStringLiteral("さ"),
                               QStringLiteral("た"), QStringLiteral("た")};
    const Value other = text(QStringLiteral("担当：経理部\r\n支払条件：月末締め翌月末払い"));
    const Value memo =
        text(QStringLiteral("毎度ありがとうございます。\r\n振込手数料は御社負担でお願いします。"));
    table.rows.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        QString sum = QStringLiteral("品名・規格,数量,単位,単価,金額,備考\r\n");
        for (int line = 1; line <= 20; ++line)
            sum += QStringLiteral("\"商品%1 規格Ａ-%2, 特注\",%3,個,%4,%5,納期～%6日\r\n")
                       .arg(line)
                       .arg(i % 97)
                       .arg(line % 7 + 1)
                       .arg(1200 + line * 10)
                       .arg((line % 7 + 1) * (1200 + line * 10))
                       .arg(line);
        Row row(size_t(table.fields.size()));
        row[field("num")] = Value::fromInt(i + 1);
        row[field("cate")] = text(heads[i % 5]);
        row[field("name")] = text(families[i % 5] + QStringLiteral(" 商店 第%1支店").arg(i));
        row[field("sday")] =
            stamp(QDateTime(QDate(2026, 1 + i % 12, 1 + i % 28), QTime(9, 30, 15, i % 1000)));
        row[field("day")] = stamp(QDateTime(QDate(2026, 1 + i % 12, 1 + i % 28), QTime()));
        row[field("pcode")] = Value::fromBytes("100-0001");
        row[field("addr")] = text(QStringLiteral("東京都千代田区千代田１丁目%1番地 ＡＢＣビル%2階")
                                      .arg(i % 50)
                                      .arg(i % 9));
        row[field("tel")] = Value::fromBytes("03-1234-5678");
        row[field("Sum")] = text(sum);
        row[field("other")] = other;
        row[field("memo")] = memo;
        row[field("honorifics")] = text(QStringLiteral("様"));
        row[field("lineheight")] = Value::fromInt(24);
        row[field("linecount")] = Value::fromInt(21);
        for (int c = 1; c <= 5; ++c)
            row[field(QByteArray("line" + QByteArray::number(c)).constData())] =
                Value::fromInt(60 + c * 10);
        row[field("SalesTax")] = Value::fromReal(0.1);
        table.rows.push_back(std::move(row));
    }
    d.setContent(std::move(table));
    return d;
}

} // namespace benchrecords
