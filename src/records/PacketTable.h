#pragma once
// The whole content of a datapacket: fields, dataset properties and rows, with the
// change log already merged.
#include "records/FieldDef.h"
#include "records/Value.h"

#include <QString>

#include <vector>

using Row = std::vector<Value>;

struct PacketTable {
    QList<FieldDef> fields;
    QList<Property> params; // dataset properties (LCID, DEFAULT_ORDER, ...) in file order
    std::vector<Row> rows;

    int fieldIndex(QByteArrayView name) const; // letter case ignored; -1 when absent
    bool operator==(const PacketTable&) const = default;
};

// A reader's answer: the table, or an error text and an empty table.
struct PacketResult {
    PacketTable table;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
