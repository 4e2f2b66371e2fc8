#pragma once
// CP932 record text: decoding any bytes, encoding the result again, cutting to a
// field width and stepping over characters never go wrong.
#include "FuzzCheck.h"

#include "platform/Cp932.h"
#include "platform/HalfWidth.h"

#include <cstdint>
#include <string>

namespace fuzzsupport {

inline std::string checkCp932Text(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));

    const QString text = cp932::decode(bytes);
    FUZZ_CHECK(text.size() <= bytes.size());
    const QByteArray encoded = cp932::encode(text);
    // Text that decoded cleanly survives a second trip unchanged.
    if (!text.contains(QChar(0xFFFD)))
        FUZZ_CHECK(cp932::decode(encoded) == text);
    // Encoding never grows beyond two bytes per UTF-16 unit.
    FUZZ_CHECK(encoded.size() <= 2 * text.size());

    // Stepping by characters lands exactly on the end.
    qsizetype pos = 0;
    while (pos < bytes.size())
        pos += cp932::charLength(bytes, pos);
    FUZZ_CHECK(pos == bytes.size());

    // A cut is a prefix within the width that never splits a character.
    for (qsizetype width :
         {qsizetype(0), qsizetype(1), qsizetype(10), bytes.size() / 2, bytes.size() - 1}) {
        if (width < 0)
            continue;
        const QByteArray cut = cp932::cutToWidth(bytes, width);
        FUZZ_CHECK(cut.size() <= width && bytes.startsWith(cut));
        qsizetype at = 0;
        while (at < cut.size())
            at += cp932::charLength(bytes, at);
        FUZZ_CHECK(at == cut.size());
        FUZZ_CHECK(bytes.size() <= width ? cut == bytes : width - cut.size() <= 1);
    }

    toHalfWidth(text);
    return {};
}

} // namespace fuzzsupport
