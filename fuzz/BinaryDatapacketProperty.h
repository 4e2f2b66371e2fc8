#pragma once
// Binary datapacket reader. Whatever it accepts must write and read back to the same
// table, must survive the XML writer and reader when the XML form can hold it, and
// must open as the program opens a data file.
#include "FuzzCheck.h"
#include "OpenAsDataFile.h"
#include "PacketCompare.h"
#include "SampleTables.h"

#include "records/Datapacket.h"

#include <QBuffer>

#include <cstdint>
#include <string>

namespace fuzzsupport {

inline std::string checkBinaryDatapacket(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const PacketResult first = datapacket::readBinary(bytes);

    // Read in pieces, the whole and one record are refused alike, and what they keep is
    // the whole and that record of it.
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    const PacketResult pieces = datapacket::readBinary(device);
    FUZZ_CHECK(pieces.error == first.error);
    FUZZ_CHECK(pieces.table == first.table);
    device.seek(0);
    qint64 count = -1;
    const qint64 index = qint64(size % 3);
    const PacketResult one = datapacket::readBinaryRecord(device, index, count);
    FUZZ_CHECK(one.error == first.error);
    if (first.ok()) {
        FUZZ_CHECK(count == qint64(first.table.rows.size()));
        FUZZ_CHECK(one.table.fields == first.table.fields);
        FUZZ_CHECK(one.table.params == first.table.params);
        FUZZ_CHECK(one.table.rows.size() == (index < count ? 1u : 0u));
        if (index < count) {
            FUZZ_CHECK(one.table.rows[0] == first.table.rows[size_t(index)]);
        }
    }

    if (!first.ok()) {
        FUZZ_CHECK(first.table == PacketTable{});
        return {};
    }

    const QByteArray written = datapacket::writeBinary(first.table);
    const PacketResult second = datapacket::readBinary(written);
    FUZZ_CHECK(second.ok());
    FUZZ_CHECK(second.table.fields == first.table.fields);
    FUZZ_CHECK(second.table.params == first.table.params);
    FUZZ_CHECK(sameValues(binaryHoldable(first.table), second.table, true));
    FUZZ_CHECK(datapacket::writeBinary(second.table) == written);

    const QByteArray xml = datapacket::writeXml(first.table);
    const PacketResult fromXml = datapacket::readXml(xml);
    if (fitsXmlForm(first.table)) {
        FUZZ_CHECK(fromXml.ok());
        FUZZ_CHECK(fromXml.table.fields.size() == first.table.fields.size());
        for (qsizetype i = 0; i < first.table.fields.size(); ++i) {
            FUZZ_CHECK(fromXml.table.fields[i].name == first.table.fields[i].name);
            FUZZ_CHECK(fromXml.table.fields[i].type == first.table.fields[i].type);
        }
        FUZZ_CHECK(sameValues(first.table, fromXml.table, false));
    }

    openAsDataFile(first.table);
    return {};
}

} // namespace fuzzsupport
