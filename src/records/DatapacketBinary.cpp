// The binary datapacket form: header, field descriptors with properties, dataset
// properties, then rows of status byte, 2-bit null map and the present values.
#include "platform/Cp932.h"
#include "platform/FileErrorText.h"
#include "records/ChangeLogMerge.h"
#include "records/Datapacket.h"

#include <QFileDevice>
#include <QIODevice>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <type_traits>

namespace {

constexpr int HeaderSize = 24;

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : p_(bytes.constData()), n_(bytes.size()) {}

    qsizetype left() const { return n_ - pos_; }
    qsizetype pos() const { return pos_; }
    bool seek(qsizetype pos) {
        if (pos < 0 || pos > n_)
            return fail();
        pos_ = pos;
        return true;
    }
    bool failed() const { return failed_; }
    bool fail() {
        failed_ = true;
        return false;
    }
    bool need(qsizetype k) {
        if (failed_ || k < 0 || k > left())
            return fail();
        return true;
    }
    template <typename T> T get() {
        if (!need(sizeof(T)))
            return T{};
        const T v = qFromLittleEndian<T>(p_ + pos_);
        pos_ += sizeof(T);
        return v;
    }
    QByteArray bytes(qsizetype k) {
        if (!need(k))
            return {};
        QByteArray b(p_ + pos_, k);
        pos_ += k;
        return b;
    }

private:
    const char* p_;
    qsizetype n_;
    qsizetype pos_ = 0;
    bool failed_ = false;
};

template <typename T> void put(QByteArray& out, T v) {
    char b[sizeof(T)];
    qToLittleEndian<T>(v, b);
    out.append(b, sizeof(T));
}

bool readProperty(Reader& r, Property& prop) {
    const int nameLen = r.get<quint8>();
    prop.name = r.bytes(nameLen);
    prop.typeCode = r.get<quint32>();
    if (r.failed())
        return false;
    const int size = prop.typeCode & 0xFFFF;
    if (prop.typeCode & 0x00800000) {
        if (size < 1 || size > 8)
            return r.fail();
        const quint32 count = r.get<quint32>();
        if (r.failed() || count > quint64(r.left()) / size)
            return r.fail();
        prop.raw.clear();
        put<quint32>(prop.raw, count);
        prop.raw.append(r.bytes(qsizetype(count) * size));
    } else if (prop.typeCode & 0x00400000) {
        quint32 len = 0;
        if (size == 1)
            len = r.get<quint8>();
        else if (size == 2)
            len = r.get<quint16>();
        else if (size == 4)
            len = r.get<quint32>();
        else
            return r.fail();
        prop.raw = r.bytes(qsizetype(len));
    } else {
        prop.raw = r.bytes(size);
    }
    return !r.failed();
}

void writeProperty(QByteArray& out, const Property& prop) {
    const QByteArray name = prop.name.left(255);
    out.append(char(name.size()));
    out.append(name);
    put<quint32>(out, prop.typeCode);
    const int size = prop.typeCode & 0xFFFF;
    if (!(prop.typeCode & 0x00800000) && (prop.typeCode & 0x00400000)) {
        const QByteArray v = prop.raw.left(size == 1 ? 0xFF : size == 2 ? 0xFFFF : 0x7FFFFFFF);
        if (size == 1)
            out.append(char(v.size()));
        else if (size == 2)
            put<quint16>(out, quint16(v.size()));
        else
            put<quint32>(out, quint32(v.size()));
        out.append(v);
    } else {
        out.append(prop.raw);
    }
}

bool fieldTypeOf(quint32 code, const QList<Property>& props, FieldType& type) {
    switch (code) {
    case typecode::I2:
        type = FieldType::I2;
        return true;
    case typecode::I4:
        type = FieldType::I4;
        return true;
    case typecode::Boolean:
        type = FieldType::Boolean;
        return true;
    case typecode::R8:
        type = FieldType::R8;
        return true;
    case typecode::Date:
        type = FieldType::Date;
        return true;
    case typecode::Time:
        type = FieldType::Time;
        return true;
    case typecode::DateTime:
        type = FieldType::DateTime;
        return true;
    case typecode::String1:
    case typecode::String2:
        type = FieldType::String;
        return true;
    case typecode::Bytes4: {
        FieldDef probe;
        probe.props = props;
        type = probe.subtype() == "Text" ? FieldType::Memo : FieldType::Blob;
        return true;
    }
    default:
        return false;
    }
}

int widthOf(const QList<Property>& props) {
    for (const Property& p : props)
        if (p.name.compare("WIDTH", Qt::CaseInsensitive) == 0)
            return p.text().toInt();
    return 0;
}

void writeValue(QByteArray& out, const FieldDef& f, quint32 code, const Value& v) {
    switch (f.type) {
    case FieldType::I2:
        put<qint16>(out, qint16(v.toInt()));
        return;
    case FieldType::Boolean:
        put<quint16>(out, quint16(v.toInt()));
        return;
    case FieldType::I4:
    case FieldType::Date:
    case FieldType::Time:
        put<qint32>(out, v.toInt());
        return;
    case FieldType::R8:
    case FieldType::DateTime:
        put<double>(out, v.toReal());
        return;
    case FieldType::String: {
        // The length prefix bounds what one value can hold.
        const bool narrow = code == typecode::String1;
        const qsizetype limit = narrow ? 0xFF : 0xFFFF;
        QByteArray cut;
        QByteArrayView b = v.isBytes() ? v.bytes() : QByteArrayView();
        if (!v.isBytes()) {
            cut = v.toBytes();
            b = cut;
        }
        if (b.size() > limit) {
            cut = cp932::cutToWidth(b.toByteArray(), limit);
            b = cut;
        }
        if (narrow)
            out.append(char(b.size()));
        else
            put<quint16>(out, quint16(b.size()));
        out.append(b);
        return;
    }
    case FieldType::Memo:
    case FieldType::Blob: {
        const QByteArray owned = v.isBytes() ? QByteArray() : v.toBytes();
        const QByteArrayView b = v.isBytes() ? v.bytes() : QByteArrayView(owned);
        put<quint32>(out, quint32(b.size()));
        out.append(b);
        return;
    }
    }
}

// How a present value is stored in a row, by field.
enum class Encoding : quint8 { I16, U16, I32, F64, Text8, Text16, Text32 };

Encoding encodingOf(FieldType type, quint32 code) {
    switch (type) {
    case FieldType::I2:
        return Encoding::I16;
    case FieldType::Boolean:
        return Encoding::U16;
    case FieldType::I4:
    case FieldType::Date:
    case FieldType::Time:
        return Encoding::I32;
    case FieldType::R8:
    case FieldType::DateTime:
        return Encoding::F64;
    case FieldType::String:
        return code == typecode::String1 ? Encoding::Text8 : Encoding::Text16;
    case FieldType::Memo:
    case FieldType::Blob:
        break;
    }
    return Encoding::Text32;
}

// The rows are most of a file; they are read with one bounds check per value and texts
// left in place (values pointing into `store`, which holds the same bytes).
class RowReader {
public:
    RowReader(const char* data, qsizetype size, qsizetype pos, ByteStore* store)
        : base_(data), p_(data + pos), end_(data + size), store_(store) {}

    bool read(const std::vector<Encoding>& encodings, qsizetype mapBytes, int& status, Row& row,
              std::vector<bool>& changed) {
        return walk(encodings, mapBytes, status, &row, &changed);
    }
    // Steps over one row, reading only its status byte; false when the bytes end first.
    bool skip(const std::vector<Encoding>& encodings, qsizetype mapBytes, int& status) {
        return walk(encodings, mapBytes, status, nullptr, nullptr);
    }
    // Offset of the next row from the start of the bytes.
    qsizetype pos() const { return p_ - base_; }

private:
    // One row; its values go to `row` unless that is null (the row is stepped over).
    bool walk(const std::vector<Encoding>& encodings, qsizetype mapBytes, int& status, Row* row,
              std::vector<bool>* changed) {
        const size_t columns = encodings.size();
        if (end_ - p_ < 1 + mapBytes)
            return false;
        status = quint8(*p_++);
        const char* map = p_;
        p_ += mapBytes;
        if (row)
            row->resize(columns);
        // Only a modified row needs to know which fields it leaves as they were.
        const bool modified = changed && (status & ChangeLogMerge::Modified);
        for (size_t c = 0; c < columns; ++c) {
            const int bits = (quint8(map[c / 4]) >> ((c % 4) * 2)) & 3;
            if (modified)
                (*changed)[c] = bits != 2;
            if (bits == 0 && !readValue(encodings[c], row ? &(*row)[c] : nullptr))
                return false;
        }
        return true;
    }
    template <typename T> bool take(T& v) {
        if (end_ - p_ < qsizetype(sizeof(T)))
            return false;
        v = qFromLittleEndian<T>(p_);
        p_ += sizeof(T);
        return true;
    }
    template <typename T> bool number(Value* v) {
        T x = 0;
        if (!take(x))
            return false;
        if (v)
            *v = std::is_floating_point_v<T> ? Value::fromReal(double(x))
                                             : Value::fromInt(qint32(x));
        return true;
    }
    bool text(qsizetype len, Value* v) {
        if (end_ - p_ < len)
            return false;
        if (v)
            *v = Value::fromStore(store_, p_ - base_, len);
        p_ += len;
        return true;
    }
    // A present value into `v`, or past it when `v` is null.
    bool readValue(Encoding e, Value* v) {
        switch (e) {
        case Encoding::I16:
            return number<qint16>(v);
        case Encoding::U16:
            return number<quint16>(v);
        case Encoding::I32:
            return number<qint32>(v);
        case Encoding::F64:
            return number<double>(v);
        case Encoding::Text8: {
            quint8 len = 0;
            return take(len) && text(len, v);
        }
        case Encoding::Text16: {
            quint16 len = 0;
            return take(len) && text(len, v);
        }
        case Encoding::Text32: {
            quint32 len = 0;
            return take(len) && len <= quint64(end_ - p_) && text(qsizetype(len), v);
        }
        }
        return false;
    }

    const char* base_;
    const char* p_;
    const char* end_;
    ByteStore* store_;
};

// Where the rows of a packet start, how many there are and how their values are stored.
struct RowLayout {
    qsizetype start = 0;
    quint32 count = 0;
    qsizetype mapBytes = 0;
    std::vector<Encoding> encodings;
};

// Reads header, field definitions and dataset properties into `t`. `bytes` may be only
// the beginning of a packet of `packetSize` bytes; the rows are checked against the
// whole. Returns the error, or nullptr.
const char* readPreamble(const QByteArray& bytes, qint64 packetSize, PacketTable& t,
                         RowLayout& rows) {
    if (bytes.size() < HeaderSize ||
        std::memcmp(bytes.constData(), datapacket::BinaryMagic, 4) != 0)
        return "not a binary datapacket";
    Reader r(bytes);
    r.seek(4);
    const quint16 major = r.get<quint16>();
    r.get<quint16>();
    const quint32 headerSize = r.get<quint32>();
    const quint16 columns = r.get<quint16>();
    const quint32 rowCount = r.get<quint32>();
    const quint32 flags = r.get<quint32>();
    const quint16 dataOffset = r.get<quint16>();
    if (major < 1 || major > 2 || headerSize < HeaderSize || !r.seek(headerSize))
        return "unsupported datapacket header";

    std::vector<quint32> codes;
    for (int c = 0; c < columns; ++c) {
        FieldDef f;
        const int nameLen = r.get<quint8>();
        f.name = r.bytes(nameLen);
        const quint32 code = r.get<quint32>();
        f.attrs = r.get<quint16>();
        const quint16 propCount = r.get<quint16>();
        for (int i = 0; i < propCount && !r.failed(); ++i) {
            Property p;
            if (readProperty(r, p))
                f.props.append(std::move(p));
        }
        if (r.failed())
            return "truncated field definitions";
        if (!fieldTypeOf(code, f.props, f.type))
            return "unsupported field type";
        f.width = widthOf(f.props);
        codes.push_back(code);
        t.fields.append(std::move(f));
    }
    const quint16 paramCount = r.get<quint16>();
    for (int i = 0; i < paramCount && !r.failed(); ++i) {
        Property p;
        if (readProperty(r, p))
            t.params.append(std::move(p));
    }
    if (r.failed())
        return "truncated dataset properties";
    if ((flags & 2) && dataOffset >= r.pos() && !r.seek(dataOffset))
        return "bad data offset";

    rows.start = r.pos();
    rows.count = rowCount;
    rows.mapBytes = (columns + 3) / 4;
    if (rowCount > quint64(packetSize - rows.start) / quint64(1 + rows.mapBytes))
        return "row count larger than the file";
    if (quint64(rowCount) * quint64(std::max<int>(columns, 1)) > quint64(datapacket::MaxCells))
        return "more values than a data file can hold";
    for (int c = 0; c < columns; ++c)
        rows.encodings.push_back(encodingOf(t.fields[c].type, codes[c]));
    return nullptr;
}

PacketResult failure(QString error) {
    PacketResult result;
    result.error = std::move(error);
    return result;
}

PacketResult failure(const char* text) {
    return failure(QString::fromUtf8(text));
}

// A failed read of `device`, named as the system gave it; called right after the failing
// call, while errno is still its own.
PacketResult readFailure(const QIODevice& device) {
    if (const auto* file = qobject_cast<const QFileDevice*>(&device))
        return failure(fileerror::describe(*file, errno));
    return failure(device.errorString());
}

// Large packets are read in pieces of this size: small enough to stay in the cache.
constexpr qsizetype PieceSize = 256 * 1024;

// A packet read forward in pieces: only the piece at hand is in memory.
class Pieces {
public:
    explicit Pieces(QIODevice& device) : device_(device) {}

    // Makes the bytes hold the packet from offset `from` (not before what they hold now)
    // on, at least `size` of them unless the packet ends first. False on a read error.
    bool fetch(qint64 from, qsizetype size) {
        // Moved down by hand: the buffer keeps its pages, so a file of any size is read
        // through the same few.
        const qsizetype drop = qsizetype(from - start_);
        std::memmove(bytes_.data(), bytes_.constData() + drop, size_t(bytes_.size() - drop));
        bytes_.resize(bytes_.size() - drop);
        start_ = from;
        while (bytes_.size() < size && !atEnd_) {
            const qsizetype had = bytes_.size();
            const qsizetype want = std::max(size - had, PieceSize);
            bytes_.resize(had + want);
            const qint64 got = device_.read(bytes_.data() + had, want);
            bytes_.resize(had + std::max<qint64>(got, 0));
            if (got < 0)
                return false;
            atEnd_ = got == 0;
        }
        return true;
    }
    const QByteArray& bytes() const { return bytes_; }
    qint64 start() const { return start_; }
    // True once the bytes run to the end of the packet.
    bool atEnd() const { return atEnd_; }

private:
    QIODevice& device_;
    QByteArray bytes_;
    qint64 start_ = 0;
    bool atEnd_ = false;
};

// At least the size writeBinary gives `t`, and not much more: reserved up front, the
// output of a large file is written once into pages touched once, not copied through
// ever larger ones as it grows.
qsizetype writtenSizeBound(const PacketTable& t) {
    const auto propertyBound = [](const Property& p) {
        return 1 + p.name.size() + 4 + 4 + p.raw.size();
    };
    qsizetype bound = HeaderSize + 2;
    for (const FieldDef& f : t.fields) {
        bound += 1 + f.name.size() + 4 + 2 + 2;
        for (const Property& p : f.props)
            bound += propertyBound(p);
    }
    for (const Property& p : t.params)
        bound += propertyBound(p);
    const qsizetype mapBytes = (t.fields.size() + 3) / 4;
    for (const Row& row : t.rows) {
        bound += 1 + mapBytes;
        for (const Value& v : row)
            bound += v.isBytes() ? 4 + v.bytes().size() : 32; // a number, or its text
    }
    return bound;
}

// A packet read into one array of its size, a piece at a time: each piece's rows are
// read while the piece is still in the cache, not after the whole file went through it.
class Filling {
public:
    Filling(QIODevice& device, QByteArray& bytes) : device_(device), bytes_(bytes) {}

    // Reads on until `size` bytes (at most the array's) are there. False on a read error.
    bool fill(qsizetype size) {
        size = std::min(size, bytes_.size());
        while (filled_ < size && !atEnd_) {
            const qint64 got =
                device_.read(bytes_.data() + filled_, std::min(PieceSize, bytes_.size() - filled_));
            if (got < 0) {
                failed_ = true;
                return false;
            }
            filled_ += qsizetype(got);
            atEnd_ = got == 0;
        }
        return true;
    }
    qsizetype filled() const { return filled_; }
    // True once nothing more can come: the array is full or the device ended.
    bool atEnd() const { return atEnd_ || filled_ == bytes_.size(); }
    bool failed() const { return failed_; }

private:
    QIODevice& device_;
    QByteArray& bytes_;
    qsizetype filled_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};

// Reads the rows `layout` describes from `store` into `t`, change log merged. The
// store's first `filled` bytes are there to read; when a row runs past them, `more` is
// asked for more: it moves `filled` on and answers whether there were any.
// Returns the error, or nullptr.
template <typename More>
const char* readRows(ByteStore* store, qsizetype filled, const RowLayout& layout, PacketTable& t,
                     More&& more) {
    const char* const data = store->bytes().constData();
    t.rows.reserve(layout.count);
    ChangeLogMerge merge(t);
    std::vector<bool> changed(layout.encodings.size());
    qsizetype rowAt = layout.start;
    for (quint32 i = 0; i < layout.count; ++i) {
        for (;;) {
            int status = 0;
            Row row;
            RowReader rows(data, filled, rowAt, store);
            if (rows.read(layout.encodings, layout.mapBytes, status, row, changed)) {
                merge.add(status, std::move(row),
                          (status & ChangeLogMerge::Modified) ? &changed : nullptr);
                rowAt = rows.pos();
                break;
            }
            if (!more(filled))
                return "truncated row";
        }
    }
    merge.finish();
    return nullptr;
}

} // namespace

namespace datapacket {

PacketResult readBinary(const QByteArray& bytes) {
    PacketResult result;
    RowLayout layout;
    if (const char* error = readPreamble(bytes, bytes.size(), result.table, layout))
        return failure(error);
    const ByteStoreHold store(bytes);
    if (const char* error = readRows(store.get(), bytes.size(), layout, result.table,
                                     [](qsizetype&) { return false; }))
        return failure(error);
    return result;
}

PacketResult readBinary(QIODevice& device) {
    const qint64 size = device.size() - device.pos();
    const ByteStoreHold store(QByteArray(qsizetype(size), Qt::Uninitialized));
    Filling in(device, store->bytes());
    PacketResult result;
    RowLayout layout;
    // Field definitions and properties are small: a piece or two holds them.
    for (qsizetype want = PieceSize;; want *= 2) {
        if (!in.fill(want))
            return readFailure(device);
        result.table = {};
        layout = {};
        const QByteArray head = QByteArray::fromRawData(store->bytes().constData(), in.filled());
        const char* error = readPreamble(head, size, result.table, layout);
        if (!error)
            break;
        if (in.atEnd())
            return failure(error);
    }
    const char* error =
        readRows(store.get(), in.filled(), layout, result.table, [&](qsizetype& filled) {
            if (in.atEnd() || !in.fill(filled + PieceSize))
                return false;
            filled = in.filled();
            return true;
        });
    if (in.failed())
        return readFailure(device);
    if (error)
        return failure(error);
    return result;
}

PacketResult readBinaryRecord(QIODevice& device, qint64 index, qint64& recordCount) {
    recordCount = 0;
    const qint64 size = device.size() - device.pos();
    Pieces pieces(device);
    auto readError = [&] { return readFailure(device); };
    // Field definitions and properties are small: a piece or two holds them.
    PacketResult result;
    PacketTable& t = result.table;
    RowLayout layout;
    for (qsizetype want = PieceSize;; want *= 2) {
        if (!pieces.fetch(0, want))
            return readError();
        t = {};
        layout = {};
        const char* error = readPreamble(pieces.bytes(), size, t, layout);
        if (!error)
            break;
        if (pieces.atEnd())
            return failure(error);
    }
    // Every row is stepped over to find the records; the rows of the one asked for are
    // copied aside and read once the whole packet proved sound.
    ChangeLogMerge merge(t);
    QByteArray kept;
    std::vector<ChangeLogMerge::Placement> keptPlacements;
    qint64 rowAt = layout.start;
    for (quint32 i = 0; i < layout.count; ++i) {
        int status = 0;
        for (;;) {
            const qsizetype offset = qsizetype(rowAt - pieces.start());
            RowReader rows(pieces.bytes().constData(), pieces.bytes().size(), offset, nullptr);
            if (rows.skip(layout.encodings, layout.mapBytes, status)) {
                const ChangeLogMerge::Placement placement = merge.place(status);
                if (placement != ChangeLogMerge::Placement::Dropped &&
                    merge.recordCount() - 1 == index) {
                    kept.append(pieces.bytes().constData() + offset, rows.pos() - offset);
                    keptPlacements.push_back(placement);
                }
                rowAt = pieces.start() + rows.pos();
                break;
            }
            if (pieces.atEnd())
                return failure("truncated row");
            // A row larger than a piece gets a piece twice what is at hand.
            const qsizetype held = pieces.bytes().size() - offset;
            if (!pieces.fetch(rowAt, std::max(PieceSize, 2 * held)))
                return readError();
        }
    }
    recordCount = merge.recordCount();

    const ByteStoreHold store(kept);
    ChangeLogMerge keep(t);
    std::vector<bool> changed(layout.encodings.size());
    RowReader rows(kept.constData(), kept.size(), 0, store.get());
    for (const ChangeLogMerge::Placement placement : keptPlacements) {
        int status = 0;
        Row row;
        const bool read = rows.read(layout.encodings, layout.mapBytes, status, row, changed);
        Q_ASSERT(read); // stepped over once already
        Q_UNUSED(read);
        keep.apply(placement, std::move(row),
                   (status & ChangeLogMerge::Modified) ? &changed : nullptr);
    }
    merge.finish();
    return result;
}

namespace {

// Writes the packet into `out`; with a device, hands `out` to it whenever a piece's worth
// is there and begins again. False when the device refuses a write.
bool writeBinaryInto(const PacketTable& t, QByteArray& out, QIODevice* device) {
    out.append(BinaryMagic, 4);
    put<quint16>(out, 1);
    put<quint16>(out, 0);
    put<quint32>(out, HeaderSize);
    const int columns = int(std::min<qsizetype>(t.fields.size(), 0xFFFF));
    put<quint16>(out, quint16(columns));
    put<quint32>(out, quint32(t.rows.size()));
    const qsizetype flagsAt = out.size();
    put<quint32>(out, 1);
    put<quint16>(out, 0);

    std::vector<quint32> codes;
    for (int c = 0; c < columns; ++c) {
        const FieldDef& f = t.fields[c];
        const QByteArray name = f.name.left(255);
        out.append(char(name.size()));
        out.append(name);
        codes.push_back(f.typeCode());
        put<quint32>(out, codes.back());
        put<quint16>(out, f.attrs);
        put<quint16>(out, quint16(f.props.size()));
        for (const Property& p : f.props)
            writeProperty(out, p);
    }
    put<quint16>(out, quint16(t.params.size()));
    for (const Property& p : t.params)
        writeProperty(out, p);

    if (!t.rows.empty() && out.size() <= 0xFFFF) {
        qToLittleEndian<quint32>(3, out.data() + flagsAt);
        qToLittleEndian<quint16>(quint16(out.size()), out.data() + flagsAt + 4);
    }
    const qsizetype mapBytes = (columns + 3) / 4;
    QByteArray map(mapBytes, '\0');
    for (const Row& row : t.rows) {
        out.append('\0');
        map.fill('\0');
        for (int c = 0; c < columns; ++c)
            if (c >= int(row.size()) || row[c].isNull())
                map[c / 4] = char(quint8(map[c / 4]) | (1 << ((c % 4) * 2)));
        out.append(map);
        for (int c = 0; c < columns && c < int(row.size()); ++c)
            if (!row[c].isNull())
                writeValue(out, t.fields[c], codes[c], row[c]);
        if (device && out.size() >= WritePieceSize) {
            if (device->write(out) != out.size())
                return false;
            out.truncate(0); // keeps the memory for the next piece
        }
    }
    return !device || device->write(out) == out.size();
}

} // namespace

QByteArray writeBinary(const PacketTable& t) {
    QByteArray out;
    out.reserve(writtenSizeBound(t));
    writeBinaryInto(t, out, nullptr);
    return out;
}

bool writeBinary(const PacketTable& t, QIODevice& device) {
    QByteArray out;
    out.reserve(WritePieceSize * 2);
    return writeBinaryInto(t, out, &device);
}

PacketResult read(const QByteArray& bytes) {
    if (bytes.startsWith(QByteArrayView(BinaryMagic, 4)))
        return readBinary(bytes);
    return readXml(bytes);
}

bool readableInPieces(QIODevice& device) {
    return !device.isSequential() && device.peek(4) == QByteArrayView(BinaryMagic, 4);
}

PacketResult read(QIODevice& device) {
    if (readableInPieces(device))
        return readBinary(device);
    // Read into an array of the rest's size where there is one: readAll would ask for
    // the next power of two, and records read keep pointing into these bytes.
    QByteArray bytes;
    if (const qint64 size = device.isSequential() ? 0 : device.size() - device.pos(); size > 0) {
        bytes = QByteArray(qsizetype(size), Qt::Uninitialized);
        const qint64 got = device.read(bytes.data(), size);
        if (got < 0)
            return readFailure(device);
        bytes.truncate(qsizetype(got));
    } else {
        bytes = device.readAll();
    }
    if (const auto* file = qobject_cast<const QFileDevice*>(&device);
        file && file->error() != QFileDevice::NoError)
        return failure(fileerror::describe(*file, errno));
    return read(bytes);
}

} // namespace datapacket
