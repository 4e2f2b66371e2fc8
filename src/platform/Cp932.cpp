#include "platform/Cp932.h"

#include <unicode/ucnv.h>

#include <memory>
#include <mutex>
#include <vector>

namespace cp932 {
namespace {

// One converter for the program's single thread; ICU converters are not shared
// between threads, so a per-thread instance keeps this safe if that ever changes.
UConverter* converter() {
    struct Closer {
        void operator()(UConverter* c) const { ucnv_close(c); }
    };
    thread_local std::unique_ptr<UConverter, Closer> instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* c = ucnv_open("windows-31j", &status);
        if (U_FAILURE(status) || !c) {
            qFatal("ICU converter windows-31j is not available");
        }
        ucnv_setFallback(c, true); // best-fit mappings such as U+00A5 -> 0x5C
        status = U_ZERO_ERROR;
        ucnv_setSubstChars(c, "?", 1, &status);
        return std::unique_ptr<UConverter, Closer>(c);
    }();
    return instance.get();
}

} // namespace

bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isTrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

int charLength(const QByteArray& bytes, qsizetype pos) {
    if (pos + 1 < bytes.size() && isLeadByte(static_cast<unsigned char>(bytes[pos]))) {
        return 2;
    }
    return 1;
}

QByteArray encodeLines(const QString& text) {
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return encode(lines);
}

QByteArray encode(const QString& text) {
    if (text.isEmpty()) {
        return {};
    }
    UConverter* c = converter();
    ucnv_resetFromUnicode(c);
    const auto* source = reinterpret_cast<const UChar*>(text.utf16());
    std::vector<char> out(static_cast<size_t>(text.size()) * 2 + 16);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_fromUChars(c, out.data(), static_cast<int32_t>(out.size()), source,
                                           static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status)) {
        return {};
    }
    return QByteArray(out.data(), length);
}

QString decode(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return {};
    }
    UConverter* c = converter();
    ucnv_resetToUnicode(c);
    std::vector<UChar> out(static_cast<size_t>(bytes.size()) + 16);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_toUChars(c, out.data(), static_cast<int32_t>(out.size()), bytes.constData(),
                      static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) {
        return {};
    }
    return QString(reinterpret_cast<const QChar*>(out.data()), length);
}

QString decodeShown(const QByteArray& bytes) {
    QString text = decode(bytes);
    // A trail byte 0x5C belongs to its double-byte character, so only the lone byte
    // decodes to U+005C.
    text.replace(QChar(0x5C), QChar(0xA5));
    return text;
}

QString asStored(const QString& text) {
    return decode(encode(text));
}

QByteArray cutToWidth(const QByteArray& bytes, qsizetype maxBytes) {
    if (bytes.size() <= maxBytes) {
        return bytes;
    }
    qsizetype end = 0;
    while (end < bytes.size()) {
        const int step = charLength(bytes, end);
        if (end + step > maxBytes) {
            break;
        }
        end += step;
    }
    return bytes.left(end);
}

} // namespace cp932
