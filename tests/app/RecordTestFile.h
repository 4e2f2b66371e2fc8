#pragma once
// Data files for the record-command tests, written with the program's own data file code.
#include "platform/Cp932.h"
#include "records/DataFile.h"
#include "records/Datapacket.h"
#include "records/Dataset.h"
#include "records/NewFileTemplate.h"

#include <QString>

#include <functional>
#include <initializer_list>
#include <vector>

namespace recordtest {

inline QByteArray sj(const char* utf8) {
    return cp932::encode(QString::fromUtf8(utf8));
}

struct Rec {
    int num;
    const char* cate;
    const char* name;
    bool layout = true; // lineheight 22, linecount 20, default widths
    std::function<void(Dataset&)> more = {};
};

// Writes `records` to `file`; returns the error text (empty on success).
template <typename Records>
inline QString writeRecords(const QString& file, const Records& records) {
    Dataset data;
    data.setContent(datapacket::readXml(NewFileTemplate()).table);
    data.deleteRecord();
    for (const Rec& r : records) {
        data.append();
        data.setInteger("num", r.num);
        data.setText("cate", sj(r.cate));
        data.setText("name", sj(r.name));
        data.setText("honorifics", sj("様"));
        data.setFloat("SalesTax", 0.08);
        if (r.layout) {
            data.setInteger("lineheight", 22);
            data.setInteger("linecount", 20);
            const int widths[] = {230, 40, 40, 90, 90};
            for (int i = 0; i < 5; ++i)
                data.setInteger(QByteArray("line") + QByteArray::number(i + 1), widths[i]);
        }
        if (r.more)
            r.more(data);
        data.post();
    }
    return DataFile::save(data, file);
}

inline QString writeRecords(const QString& file, std::initializer_list<Rec> records) {
    return writeRecords<std::initializer_list<Rec>>(file, records);
}

} // namespace recordtest
