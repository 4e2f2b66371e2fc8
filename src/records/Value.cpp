#include "records/Value.h"

#include <algorithm>
#include <cstring>

Value Value::fromBytes(QByteArray v) {
    Value out;
    out.setKind(Kind::Bytes);
    out.size_ = checkedSize(v.size());
    if (!v.isEmpty()) {
        out.u_.store = ByteStore::make(std::move(v));
        out.u_.store->ref();
    }
    return out;
}

qint32 Value::toInt() const {
    switch (kind()) {
    case Kind::Int:
        return u_.i;
    case Kind::Real:
        return (u_.d >= -2147483648.0 && u_.d <= 2147483647.0) ? static_cast<qint32>(u_.d) : 0;
    case Kind::Bytes: {
        bool ok = false;
        const qint32 v = bytes().trimmed().toInt(&ok);
        return ok ? v : 0;
    }
    case Kind::Null:
        break;
    }
    return 0;
}

double Value::toReal() const {
    switch (kind()) {
    case Kind::Real:
        return u_.d;
    case Kind::Int:
        return u_.i;
    case Kind::Bytes: {
        bool ok = false;
        const double v = bytes().trimmed().toDouble(&ok);
        return ok ? v : 0.0;
    }
    case Kind::Null:
        break;
    }
    return 0.0;
}

QByteArray Value::toBytes() const {
    switch (kind()) {
    case Kind::Bytes: {
        if (!u_.store)
            return QByteArray("");
        // The whole store is shared as it is; a part of it is copied out.
        const QByteArray& all = u_.store->bytes();
        if (offset() == 0 && qsizetype(size_) == all.size())
            return all;
        return bytes().toByteArray();
    }
    case Kind::Int:
        return QByteArray::number(u_.i);
    case Kind::Real:
        return QByteArray::number(u_.d, 'g', 16);
    case Kind::Null:
        break;
    }
    return {};
}

bool Value::operator==(const Value& other) const {
    if (kind() != other.kind())
        return false;
    switch (kind()) {
    case Kind::Null:
        return true;
    case Kind::Int:
        return u_.i == other.u_.i;
    case Kind::Real:
        return std::memcmp(&u_.d, &other.u_.d, sizeof u_.d) == 0;
    case Kind::Bytes:
        return bytes() == other.bytes();
    }
    return false;
}

int compareValues(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    if (a.isBytes() && b.isBytes()) {
        const QByteArrayView x = a.bytes(), y = b.bytes();
        const qsizetype common = std::min(x.size(), y.size());
        const int n = common > 0 ? std::memcmp(x.data(), y.data(), size_t(common)) : 0;
        if (n != 0)
            return n < 0 ? -1 : 1;
        return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
    }
    if (a.isBytes() || b.isBytes()) {
        const QByteArray x = a.toBytes(), y = b.toBytes();
        const int n =
            std::memcmp(x.constData(), y.constData(), size_t(std::min(x.size(), y.size())));
        if (n != 0)
            return n < 0 ? -1 : 1;
        return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
    }
    if (a.isInt() && b.isInt())
        return a.toInt() < b.toInt() ? -1 : (a.toInt() > b.toInt() ? 1 : 0);
    const double x = a.toReal(), y = b.toReal();
    return x < y ? -1 : (x > y ? 1 : 0);
}
