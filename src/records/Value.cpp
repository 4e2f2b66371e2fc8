#include "records/Value.h"

#include <cstring>

qint32 Value::toInt() const {
    if (const auto* i = std::get_if<qint32>(&v_))
        return *i;
    if (const auto* d = std::get_if<double>(&v_))
        return (*d >= -2147483648.0 && *d <= 2147483647.0) ? static_cast<qint32>(*d) : 0;
    if (const auto* b = std::get_if<QByteArray>(&v_)) {
        bool ok = false;
        const qint32 v = b->trimmed().toInt(&ok);
        return ok ? v : 0;
    }
    return 0;
}

double Value::toReal() const {
    if (const auto* d = std::get_if<double>(&v_))
        return *d;
    if (const auto* i = std::get_if<qint32>(&v_))
        return *i;
    if (const auto* b = std::get_if<QByteArray>(&v_)) {
        bool ok = false;
        const double v = b->trimmed().toDouble(&ok);
        return ok ? v : 0.0;
    }
    return 0.0;
}

QByteArray Value::toBytes() const {
    if (const auto* b = std::get_if<QByteArray>(&v_))
        return *b;
    if (const auto* i = std::get_if<qint32>(&v_))
        return QByteArray::number(*i);
    if (const auto* d = std::get_if<double>(&v_))
        return QByteArray::number(*d, 'g', 16);
    return {};
}

bool Value::operator==(const Value& other) const {
    if (v_.index() != other.v_.index())
        return false;
    if (const auto* d = std::get_if<double>(&v_)) {
        const double e = std::get<double>(other.v_);
        return std::memcmp(d, &e, sizeof e) == 0;
    }
    return v_ == other.v_;
}

int compareValues(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
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
