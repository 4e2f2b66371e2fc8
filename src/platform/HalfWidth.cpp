#include "platform/HalfWidth.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace {

// Building a transliterator parses its rules, so it is made once per thread
// (transliterators are not safe to share between threads).
icu::Transliterator* halfWidthTransliterator() {
    thread_local std::unique_ptr<icu::Transliterator> instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(icu::Transliterator::createInstance(
            icu::UnicodeString("Fullwidth-Halfwidth"), UTRANS_FORWARD, status));
        if (U_FAILURE(status) || !t) {
            qFatal("ICU transliterator Fullwidth-Halfwidth is not available");
        }
        return t;
    }();
    return instance.get();
}

} // namespace

QString toHalfWidth(const QString& text) {
    if (text.isEmpty()) {
        return text;
    }
    icu::UnicodeString buffer(reinterpret_cast<const char16_t*>(text.utf16()),
                              static_cast<int32_t>(text.size()));
    halfWidthTransliterator()->transliterate(buffer);
    return QString(reinterpret_cast<const QChar*>(buffer.getBuffer()), buffer.length());
}
