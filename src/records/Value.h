#pragma once
// One field value of a record: null, a 32-bit integer (i2, i4, boolean, date, time),
// a double (r8, dateTime) or bytes (string, memo, blob; CP932 for text).
//
// Bytes are a range of a shared ByteStore: a loaded file's values all point into the
// one buffer of its bytes, so reading a file costs no allocation per value, and copying
// a value is a count. The count is plain, not atomic: records live on one thread.
#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <limits>

class ByteStore {
public:
    // A store that owns `bytes`; it lives while a value points into it.
    // Bytes that only borrow their memory (QByteArray::fromRawData) are copied first.
    static ByteStore* make(QByteArray bytes) {
        if (bytes.capacity() < bytes.size())
            bytes = QByteArray(bytes.constData(), bytes.size());
        return new ByteStore(std::move(bytes));
    }
    const QByteArray& bytes() const { return bytes_; }
    // Only while no value points into it yet (readers fill it before handing out values).
    QByteArray& bytes() { return bytes_; }

    void ref() { ++refs_; }
    void unref() {
        if (--refs_ == 0)
            delete this;
    }

private:
    explicit ByteStore(QByteArray bytes) : bytes_(std::move(bytes)) {}
    QByteArray bytes_;
    qint64 refs_ = 0;
};

class Value {
public:
    Value() = default;
    Value(const Value& other)
        : u_(other.u_), size_(other.size_), offset_(other.offset_), kind_(other.kind_) {
        if (kind_ == Kind::Bytes && u_.store)
            u_.store->ref();
    }
    Value(Value&& other) noexcept
        : u_(other.u_), size_(other.size_), offset_(other.offset_), kind_(other.kind_) {
        other.kind_ = Kind::Null;
    }
    Value& operator=(const Value& other) {
        if (this != &other) {
            Value copy(other);
            swap(copy);
        }
        return *this;
    }
    Value& operator=(Value&& other) noexcept {
        if (this != &other) {
            release();
            u_ = other.u_;
            offset_ = other.offset_;
            size_ = other.size_;
            kind_ = other.kind_;
            other.kind_ = Kind::Null;
        }
        return *this;
    }
    ~Value() { release(); }

    static Value fromInt(qint32 v) {
        Value out;
        out.kind_ = Kind::Int;
        out.u_.i = v;
        return out;
    }
    static Value fromReal(double v) {
        Value out;
        out.kind_ = Kind::Real;
        out.u_.d = v;
        return out;
    }
    static Value fromBytes(QByteArray v);
    // The bytes [offset, offset + size) of `store`, without a copy. The range must lie
    // inside the store's bytes and must not change afterwards.
    static Value fromStore(ByteStore* store, qsizetype offset, qsizetype size) {
        Q_ASSERT(store && offset >= 0 && size >= 0 && offset + size <= store->bytes().size());
        if (offset > qsizetype(std::numeric_limits<quint32>::max()))
            return fromBytes(store->bytes().mid(offset, size));
        Value out;
        out.kind_ = Kind::Bytes;
        out.size_ = size;
        if (size > 0) {
            out.u_.store = store;
            out.offset_ = quint32(offset);
            store->ref();
        }
        return out;
    }

    bool isNull() const { return kind_ == Kind::Null; }
    bool isInt() const { return kind_ == Kind::Int; }
    bool isReal() const { return kind_ == Kind::Real; }
    bool isBytes() const { return kind_ == Kind::Bytes; }

    // A value never set reads as 0 or as the empty text.
    qint32 toInt() const;
    double toReal() const;
    QByteArray toBytes() const;
    // The bytes of a bytes value without a copy, valid while this value lives; empty
    // for the other kinds.
    QByteArrayView bytes() const {
        if (kind_ != Kind::Bytes || !u_.store)
            return {};
        return QByteArrayView(u_.store->bytes().constData() + offset_, size_);
    }

    // Reals compare bit for bit, so a read-back check sees every lost bit.
    bool operator==(const Value& other) const;

private:
    enum class Kind : quint8 { Null, Int, Real, Bytes };
    void release() {
        if (kind_ == Kind::Bytes && u_.store)
            u_.store->unref();
    }
    void swap(Value& other) noexcept {
        std::swap(u_, other.u_);
        std::swap(offset_, other.offset_);
        std::swap(size_, other.size_);
        std::swap(kind_, other.kind_);
    }

    union {
        ByteStore* store; // first, so that u_{} clears all eight bytes; null for empty bytes
        qint32 i;
        double d;
    } u_{};
    qsizetype size_ = 0;
    quint32 offset_ = 0; // stores are far below 4 GB (a data file is at most 1 GB)
    Kind kind_ = Kind::Null;
};

// Keeps a store alive while a reader fills it and hands out values; the values then
// keep it as long as they need it.
class ByteStoreHold {
public:
    explicit ByteStoreHold(QByteArray bytes = {}) : store_(ByteStore::make(std::move(bytes))) {
        store_->ref();
    }
    ~ByteStoreHold() { store_->unref(); }
    ByteStoreHold(const ByteStoreHold&) = delete;
    ByteStoreHold& operator=(const ByteStoreHold&) = delete;
    ByteStore* get() const { return store_; }
    ByteStore* operator->() const { return store_; }

private:
    ByteStore* store_;
};

// Ordering of values: null first, numbers by value, bytes by unsigned byte order.
// Indexes order text fields by collation instead (Dataset).
int compareValues(const Value& a, const Value& b);
