#include "records/CategoryRows.h"

#include "platform/Cp932.h"
#include "records/Dataset.h"

#include <QString>

QList<QByteArray> CategoryHeads() {
    QList<QByteArray> heads;
    for (const QChar c : QStringLiteral("あかさたなはまやらわ他"))
        heads.append(cp932::encode(QString(c)));
    return heads;
}

void FillCategoryRows(Dataset& cds1) {
    PacketTable table;
    table.fields.append(FieldDef::make("CATEGORY", FieldType::String, 10));
    for (const QByteArray& head : CategoryHeads())
        table.rows.push_back(Row{Value::fromBytes(head)});
    cds1.setContent(std::move(table));
}
