#pragma once
// Small builders shared by the record tests.
#include "platform/Cp932.h"
#include "records/Datapacket.h"
#include "records/Dataset.h"
#include "records/NewFileTemplate.h"

#include <QString>

#include <ostream>

inline void PrintTo(const Value& v, std::ostream* os) {
    if (v.isNull())
        *os << "null";
    else if (v.isBytes())
        *os << '"' << v.toBytes().toHex(' ').constData() << '"';
    else
        *os << v.toBytes().constData();
}

inline QByteArray sjis(const char* utf8) {
    return cp932::encode(QString::fromUtf8(utf8));
}

// A dataset made from the new-file template, without its one record.
inline Dataset emptyRecords() {
    PacketResult r = datapacket::readXml(NewFileTemplate());
    r.table.rows.clear();
    Dataset d;
    d.setContent(std::move(r.table));
    return d;
}

// Appends a posted record with the given number, row head and name.
inline void addRecord(Dataset& d, qint32 num, const char* cate, const char* name = "") {
    d.append();
    d.setInteger("num", num);
    d.setText("cate", sjis(cate));
    d.setText("name", sjis(name));
    d.post();
}
