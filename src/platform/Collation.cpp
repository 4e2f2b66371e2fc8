#include "platform/Collation.h"

#include "platform/Cp932.h"

#include <unicode/ucol.h>

#include <memory>

namespace collation {
namespace {

UCollator* collator() {
    struct Closer {
        void operator()(UCollator* c) const { ucol_close(c); }
    };
    thread_local std::unique_ptr<UCollator, Closer> instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* c = ucol_open("ja", &status);
        if (U_FAILURE(status) || !c)
            qFatal("ICU collator ja is not available");
        return std::unique_ptr<UCollator, Closer>(c);
    }();
    return instance.get();
}

} // namespace

QByteArray sortKey(QByteArrayView cp932) {
    if (cp932.isEmpty())
        return {};
    const QString text = cp932::decode(cp932.toByteArray());
    const auto* source = reinterpret_cast<const UChar*>(text.utf16());
    const auto length = static_cast<int32_t>(text.size());
    QByteArray key(64, Qt::Uninitialized);
    int32_t needed = ucol_getSortKey(collator(), source, length,
                                     reinterpret_cast<uint8_t*>(key.data()), int32_t(key.size()));
    if (needed > key.size()) {
        key.resize(needed);
        needed = ucol_getSortKey(collator(), source, length, reinterpret_cast<uint8_t*>(key.data()),
                                 int32_t(key.size()));
    }
    // The key ends with a terminating zero byte that adds nothing to the order.
    key.resize(needed > 0 ? needed - 1 : 0);
    return key;
}

} // namespace collation
