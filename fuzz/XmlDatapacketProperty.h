#pragma once
// XML datapacket reader. Whatever it accepts must write and read back to the same
// table (reals within the 16 digits the form keeps), the written text must be a
// fixed point after one trip, and the binary form must hold it exactly.
#include "FuzzCheck.h"
#include "OpenAsDataFile.h"
#include "PacketCompare.h"
#include "SampleTables.h"

#include "records/Datapacket.h"

#include <cstdint>
#include <string>

namespace fuzzsupport {

inline std::string checkXmlDatapacket(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const PacketResult first = datapacket::readXml(bytes);
    if (!first.ok()) {
        FUZZ_CHECK(first.table == PacketTable{});
        return {};
    }

    const QByteArray written = datapacket::writeXml(first.table);
    const PacketResult second = datapacket::readXml(written);
    if (fitsXmlForm(first.table)) {
        FUZZ_CHECK(second.ok());
        FUZZ_CHECK(sameFields(second.table, first.table));
        FUZZ_CHECK(second.table.params.size() == first.table.params.size());
        FUZZ_CHECK(sameValues(first.table, second.table, false));
        // After one trip the text is stable.
        const QByteArray again = datapacket::writeXml(second.table);
        FUZZ_CHECK(datapacket::writeXml(datapacket::readXml(again).table) == again);
    }

    const PacketResult binary = datapacket::readBinary(datapacket::writeBinary(first.table));
    FUZZ_CHECK(binary.ok());
    FUZZ_CHECK(sameValues(binaryHoldable(first.table), binary.table, true));

    openAsDataFile(first.table);
    return {};
}

} // namespace fuzzsupport
