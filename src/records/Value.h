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
    // Only while a reader fills it: values may already point into the part filled, so
    // the array keeps its size (and so its data) and only what lies beyond is written.
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
        : u_(other.u_), size_(other.size_), offsetAndKind_(other.offsetAndKind_) {
        if (kind() == Kind::Bytes && u_.store)
            u_.store->ref();
    }
    Value(Value&& other) noexcept
        : u_(other.u_), size_(other.size_), offsetAndKind_(other.offsetAndKind_) {
        other.setKind(Kind::Null);
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
            size_ = other.size_;
            offsetAndKind_ = other.offsetAndKind_;
            other.setKind(Kind::Null);
        }
        return *this;
    }
    ~Value() { release(); }

    static Value fromInt(qint32 v) {
        Value out;
        out.setKind(Kind::Int);
        out.u_.i = v;
        return out;
    }
    static Value fromReal(double v) {
        Value out;
        out.setKind(Kind::Real);
        out.u_.d = v;
        return out;
    }
    static Value fromBytes(QByteArray v);
    // The bytes [offset, offset + size) of `store`, without a copy. The range must lie
    // inside the store's bytes and must not change afterwards.
    static Value fromStore(ByteStore* store, qsizetype offset, qsizetype size) {
        Q_ASSERT(store && offset >= 0 && size >= 0 && offset + size <= store->bytes().size());
        if (offset > qsizetype(kOffsetMask))
            return fromBytes(store->bytes().mid(offset, size));
        Value out;
        out.setKind(Kind::Bytes);
        out.size_ = checkedSize(size);
        if (size > 0) {
            out.u_.store = store;
            out.setOffset(quint32(offset));
            store->ref();
        }
        return out;
    }

    bool isNull() const { return kind() == Kind::Null; }
    bool isInt() const { return kind() == Kind::Int; }
    bool isReal() const { return kind() == Kind::Real; }
    bool isBytes() const { return kind() == Kind::Bytes; }

    // A value never set reads as 0 or as the empty text.
    qint32 toInt() const;
    double toReal() const;
    QByteArray toBytes() const;
    // The bytes of a bytes value without a copy, valid while this value lives; empty
    // for the other kinds.
    QByteArrayView bytes() const {
        if (kind() != Kind::Bytes || !u_.store)
            return {};
        return QByteArrayView(u_.store->bytes().constData() + offset(), qsizetype(size_));
    }

    // Reals compare bit for bit, so a read-back check sees every lost bit.
    bool operator==(const Value& other) const;

private:
    enum class Kind : quint32 { Null, Int, Real, Bytes };
    // The kind lives in the top two bits of the offset's word: a loaded file is at most
    // 1 GiB, so offsets into a store fit in the other thirty (fromStore copies out any
    // range beyond), and a value is sixteen bytes, not twenty-four. A file's records are
    // mostly values, so this is a third less memory to fault in when it is opened.
    static constexpr int kOffsetBits = 30;
    static constexpr quint32 kOffsetMask = (quint32(1) << kOffsetBits) - 1;
    Kind kind() const { return Kind(offsetAndKind_ >> kOffsetBits); }
    quint32 offset() const { return offsetAndKind_ & kOffsetMask; }
    void setKind(Kind k) { offsetAndKind_ = offset() | (quint32(k) << kOffsetBits); }
    void setOffset(quint32 o) { offsetAndKind_ = (offsetAndKind_ & ~kOffsetMask) | o; }
    // Values are far below 4 GiB: a data file is at most 1 GiB, and the editors hold less.
    static quint32 checkedSize(qsizetype size) {
        Q_ASSERT(size >= 0 && size <= qsizetype(std::numeric_limits<quint32>::max()));
        return quint32(size);
    }
    void release() {
        if (kind() == Kind::Bytes && u_.store)
            u_.store->unref();
    }
    void swap(Value& other) noexcept {
        std::swap(u_, other.u_);
        std::swap(size_, other.size_);
        std::swap(offsetAndKind_, other.offsetAndKind_);
    }

    union {
        ByteStore* store; // first, so that u_{} clears all eight bytes; null for empty bytes
        qint32 i;
        double d;
    } u_{};
    quint32 size_ = 0;
    quint32 offsetAndKind_ = 0; // Kind::Null at offset 0
};
static_assert(sizeof(Value) == 16);

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
