#pragma once
// Small tables for the seed corpora: the new-file template with a few records, and
// one field of every kind the forms know.
#include "platform/Cp932.h"
#include "records/Datapacket.h"
#include "records/NewFileTemplate.h"

#include <vector>

namespace fuzzsupport {

inline PacketTable templateWithRecords(int records) {
    PacketTable t = datapacket::readXml(NewFileTemplate()).table;
    if (t.rows.empty())
        return t;
    const Row model = t.rows.front();
    auto set = [&](Row& row, const char* field, Value v) {
        const int at = t.fieldIndex(field);
        if (at >= 0)
            row[at] = std::move(v);
    };
    for (int i = 1; i <= records; ++i) {
        Row row = model;
        set(row, "num", Value::fromInt(i));
        set(row, "cate", Value::fromBytes(cp932::encode(QStringLiteral("か"))));
        set(row, "name",
            Value::fromBytes(cp932::encode(QStringLiteral("株式会社　見本 %1").arg(i))));
        set(row, "Sum",
            Value::fromBytes(
                cp932::encode(QStringLiteral("品目・仕様,数量,単位,単価,金額,備考\r\n"
                                             "\"机, 木製\",2,台,15000,30000,\" \"\r\n"
                                             "\" \",\" \",\" \",\" \",　,\" \"\r\n"))));
        set(row, "memo",
            Value::fromBytes(cp932::encode(QStringLiteral("備考 <&> \"引用\"\r\n二行目\\"))));
        set(row, "linecount", Value::fromInt(20));
        set(row, "SalesTax", Value::fromReal(0.1));
        t.rows.push_back(std::move(row));
    }
    return t;
}

inline PacketTable everyKind() {
    PacketTable t;
    t.fields = {FieldDef::make("s", FieldType::String, 20),
                FieldDef::make("wide", FieldType::String, 300),
                FieldDef::make("i2", FieldType::I2),
                FieldDef::make("i4", FieldType::I4),
                FieldDef::make("b", FieldType::Boolean),
                FieldDef::make("r8", FieldType::R8),
                FieldDef::make("d", FieldType::Date),
                FieldDef::make("t", FieldType::Time),
                FieldDef::make("dt", FieldType::DateTime),
                FieldDef::make("memo", FieldType::Memo, 0, "Text"),
                FieldDef::make("blob", FieldType::Blob, 0, "Binary")};
    t.params = {Property::fromText("LCID", "1041"), Property::fromText("DEFAULT_ORDER", "1 2"),
                Property::fromText("PRIMARY_KEY", "1")};
    t.rows.push_back({Value::fromBytes("abc"), Value::fromBytes(QByteArray(280, 'x')),
                      Value::fromInt(-2), Value::fromInt(123456), Value::fromInt(1),
                      Value::fromReal(8.800000000000001), Value::fromInt(735000),
                      Value::fromInt(51007060), Value::fromReal(63452585000000.0),
                      Value::fromBytes("a\r\nb&c"), Value::fromBytes(QByteArray("\0\1\2\xFF", 4))});
    t.rows.push_back(Row(t.fields.size()));
    return t;
}

} // namespace fuzzsupport
