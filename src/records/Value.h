#pragma once
// One field value of a record: null, a 32-bit integer (i2, i4, boolean, date, time),
// a double (r8, dateTime) or bytes (string, memo, blob; CP932 for text).
#include <QByteArray>
#include <QtGlobal>

#include <variant>

class Value {
public:
    Value() = default;
    static Value fromInt(qint32 v) { return Value(Storage(v)); }
    static Value fromReal(double v) { return Value(Storage(v)); }
    static Value fromBytes(QByteArray v) { return Value(Storage(std::move(v))); }

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool isInt() const { return std::holds_alternative<qint32>(v_); }
    bool isReal() const { return std::holds_alternative<double>(v_); }
    bool isBytes() const { return std::holds_alternative<QByteArray>(v_); }

    // A value never set reads as 0 or as the empty text.
    qint32 toInt() const;
    double toReal() const;
    QByteArray toBytes() const;

    // Reals compare bit for bit, so a read-back check sees every lost bit.
    bool operator==(const Value& other) const;

private:
    using Storage = std::variant<std::monostate, qint32, double, QByteArray>;
    explicit Value(Storage s) : v_(std::move(s)) {}
    Storage v_;
};

// Ordering of values: null first, numbers by value, bytes by unsigned byte order.
// Indexes order text fields by collation instead (Dataset).
int compareValues(const Value& a, const Value& b);
