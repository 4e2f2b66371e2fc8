// The XML datapacket form: one line after the declaration, CP932 bytes kept as bytes.
#include "platform/Cp932.h"
#include "records/ChangeLogMerge.h"
#include "records/Datapacket.h"
#include "records/XmlScanner.h"

#include <QDate>
#include <QHash>
#include <QIODevice>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr qint64 MsPerDay = 86400000;
constexpr int MaxDepth = 16;

const char* fieldTypeText(FieldType t) {
    switch (t) {
    case FieldType::String:
        return "string";
    case FieldType::I2:
        return "i2";
    case FieldType::I4:
        return "i4";
    case FieldType::Boolean:
        return "boolean";
    case FieldType::R8:
        return "r8";
    case FieldType::Date:
        return "date";
    case FieldType::Time:
        return "time";
    case FieldType::DateTime:
        return "dateTime";
    case FieldType::Memo:
    case FieldType::Blob:
        return "bin.hex";
    }
    return "";
}

bool fieldTypeOf(QByteArrayView text, FieldType& t) {
    static const std::pair<const char*, FieldType> types[] = {
        {"string", FieldType::String}, {"i2", FieldType::I2},
        {"i4", FieldType::I4},         {"boolean", FieldType::Boolean},
        {"r8", FieldType::R8},         {"date", FieldType::Date},
        {"time", FieldType::Time},     {"dateTime", FieldType::DateTime},
        {"bin.hex", FieldType::Blob}};
    for (const auto& [name, type] : types)
        if (text.compare(name, Qt::CaseInsensitive) == 0) {
            t = type;
            return true;
        }
    return false;
}

bool isNameByte(unsigned char c, bool first) {
    if (c >= 0x80 || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return true;
    return !first && ((c >= '0' && c <= '9') || c == '-' || c == '.');
}

// A field name that is no XML name is written with '_' for its bad characters.
QByteArray xmlName(const QByteArray& name) {
    QByteArray out = name;
    for (qsizetype i = 0; i < out.size(); ++i)
        if (!isNameByte(quint8(out[i]), i == 0))
            out[i] = '_';
    return out;
}

constexpr std::string_view escapeOf(unsigned char c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&apos;";
    case '\r':
        return "&#013;";
    case '\n':
        return "&#010;";
    case '\t':
        return "&#009;";
    case '\\':
        return "&#092;";
    default:
        return {};
    }
}

// What a byte asks of the escaping, looked up once per byte: most bytes are plain text.
enum class ByteKind : unsigned char { Plain, Lead, Escaped };

constexpr std::array<ByteKind, 256> byteKinds() {
    std::array<ByteKind, 256> kinds{};
    for (int c = 0; c < 256; ++c) {
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        kinds[size_t(c)] = lead                         ? ByteKind::Lead
                           : !escapeOf((unsigned char)c).empty() ? ByteKind::Escaped
                                                        : ByteKind::Plain;
    }
    return kinds;
}
constexpr std::array<ByteKind, 256> kByteKinds = byteKinds();

constexpr bool isTrail(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// The longest escape, "&#013;": a value escaped whole is at most this many times its size.
constexpr qsizetype MaxEscapeLength = 6;
// A value is escaped in pieces of this many bytes, so the room made for one piece stays
// small whatever the value's size.
constexpr qsizetype EscapePiece = qsizetype(1) << 16;

// Escapes `v` into room made at the end of `out` at once: a value with many line breaks
// costs one resize, not two appends per break.
void appendEscaped(QByteArray& out, QByteArrayView v) {
    const char* d = v.data();
    const qsizetype n = v.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype pieceEnd = std::min(n, i + EscapePiece);
        const qsizetype start = out.size();
        // One byte more: a lead byte at the piece's end takes its trail byte with it.
        out.resize(start + (pieceEnd - i + 1) * MaxEscapeLength);
        char* w = out.data() + start;
        for (; i < pieceEnd; ++i) {
            const unsigned char c = quint8(d[i]);
            switch (kByteKinds[c]) {
            case ByteKind::Plain:
                *w++ = char(c);
                break;
            case ByteKind::Lead:
                *w++ = char(c);
                // A trail byte is never markup and never escaped (a backslash can be one);
                // a lead byte before a byte that cannot trail it stands alone, so a damaged
                // value cannot hide a quote or '<' from the escaping.
                if (i + 1 < n && isTrail(quint8(d[i + 1])))
                    *w++ = d[++i];
                break;
            case ByteKind::Escaped: {
                const std::string_view escape = escapeOf(c);
                std::memcpy(w, escape.data(), escape.size());
                w += escape.size();
                break;
            }
            }
        }
        out.resize(w - out.constData());
    }
}

void appendEscaped(QByteArray& out, const Value& v) {
    if (v.isBytes())
        appendEscaped(out, v.bytes());
    else
        appendEscaped(out, QByteArrayView(v.toBytes()));
}

// Writes `v` as printf's "%0*lld" does: at least `width` characters, zeros after the sign.
char* writeDigits(char* w, qint64 v, int width) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    const char* from = digits;
    if (v < 0) {
        *w++ = *from++;
        --width;
    }
    for (qsizetype pad = width - (end - from); pad > 0; --pad)
        *w++ = '0';
    std::memcpy(w, from, size_t(end - from));
    return w + (end - from);
}

char* writeDate(char* w, qint64 day) {
    int y = 0, m = 0, d = 0;
    datapacket::dateOfDay(qint32(std::clamp<qint64>(day, INT32_MIN, INT32_MAX)), y, m, d);
    w = writeDigits(w, y, 4);
    w = writeDigits(w, m, 2);
    return writeDigits(w, d, 2);
}

char* writeTime(char* w, qint64 ms) {
    w = writeDigits(w, ms / 3600000, 2);
    *w++ = ':';
    w = writeDigits(w, ms / 60000 % 60, 2);
    *w++ = ':';
    return writeDigits(w, ms % 60000, 5);
}

void appendValue(QByteArray& out, const FieldDef& f, const Value& v) {
    // Room for any value but a text: a date and a time of the widest, or a real.
    char text[96];
    char* w = text;
    switch (f.type) {
    case FieldType::I2:
    case FieldType::I4:
        w = std::to_chars(text, text + sizeof text, v.toInt()).ptr;
        break;
    case FieldType::Boolean:
        out.append(v.toInt() ? "TRUE" : "FALSE");
        return;
    case FieldType::R8:
        w = datapacket::writeReal(text, v.toReal());
        break;
    case FieldType::Date:
        w = writeDate(text, v.toInt());
        break;
    case FieldType::Time:
        w = writeTime(text, std::clamp<qint64>(v.toInt(), 0, MsPerDay - 1));
        break;
    case FieldType::DateTime: {
        const double stamp = v.toReal();
        const qint64 total =
            std::isfinite(stamp) && std::abs(stamp) < 1e18 ? std::llround(stamp) : 0;
        qint64 day = total / MsPerDay;
        qint64 ms = total % MsPerDay;
        if (ms < 0) {
            ms += MsPerDay;
            --day;
        }
        w = writeDate(text, day);
        if (ms != 0) {
            *w++ = 'T';
            w = writeTime(w, ms);
        }
        break;
    }
    case FieldType::String:
    case FieldType::Memo:
        appendEscaped(out, v);
        return;
    case FieldType::Blob:
        if (v.isBytes())
            out.append(QByteArray::fromRawData(v.bytes().data(), v.bytes().size()).toBase64());
        else
            out.append(v.toBytes().toBase64());
        return;
    }
    out.append(text, w - text);
}

bool parseDigits(QByteArrayView t, qsizetype at, int count, int& v) {
    if (at + count > t.size())
        return false;
    v = 0;
    for (int i = 0; i < count; ++i) {
        const char c = t[at + i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    return true;
}

bool parseDate(QByteArrayView t, qint64& day) {
    int y = 0, m = 0, d = 0;
    if (!parseDigits(t, 0, 4, y) || !parseDigits(t, 4, 2, m) || !parseDigits(t, 6, 2, d))
        return false;
    if (!QDate(y, m, d).isValid())
        return false;
    day = datapacket::dayNumber(y, m, d);
    return true;
}

// "HH:MM:SS" followed by up to three digits of milliseconds.
bool parseTime(QByteArrayView t, qint64& ms) {
    int h = 0, m = 0;
    if (!parseDigits(t, 0, 2, h) || t.size() < 6 || t[2] != ':' || !parseDigits(t, 3, 2, m) ||
        t[5] != ':')
        return false;
    const QByteArrayView sec = t.sliced(6);
    if (sec.isEmpty() || sec.size() > 5)
        return false;
    int s = 0;
    if (!parseDigits(sec, 0, int(sec.size()), s))
        return false;
    for (qsizetype i = sec.size(); i < 5; ++i)
        s *= 10;
    if (h > 23 || m > 59 || s >= 60000)
        return false;
    ms = qint64(h) * 3600000 + m * 60000 + s;
    return true;
}

// Texts are unescaped into `store`, one buffer for all values of the file.
bool parseValue(const FieldDef& f, QByteArrayView raw, Value& out, QByteArray& scratch,
                ByteStore* store) {
    if (f.type == FieldType::String || f.type == FieldType::Memo) {
        QByteArray& text = store->bytes();
        const qsizetype at = text.size();
        if (!XmlScanner::unescapeAppend(raw, text))
            return false;
        out = Value::fromStore(store, at, text.size() - at);
        return true;
    }
    if (raw.isEmpty()) {
        out = f.type == FieldType::Blob ? Value::fromBytes({}) : Value();
        return true;
    }
    if (!XmlScanner::unescape(raw, scratch))
        return false;
    const QByteArrayView t(scratch);
    bool ok = false;
    switch (f.type) {
    case FieldType::I2:
    case FieldType::I4: {
        const qint32 v = scratch.trimmed().toInt(&ok);
        out = Value::fromInt(v);
        return ok && (f.type == FieldType::I4 || (v >= -32768 && v <= 32767));
    }
    case FieldType::Boolean:
        out = Value::fromInt(t[0] == 'T' || t[0] == 't' ? 1 : 0);
        return true;
    case FieldType::R8: {
        // "NAN", "INF" and "-INF" are the writer's own texts for values that are no number.
        const double v = scratch.trimmed().toLower().toDouble(&ok);
        out = Value::fromReal(v);
        return ok;
    }
    case FieldType::Date: {
        qint64 day = 0;
        if (t.size() != 8 || !parseDate(t, day))
            return false;
        out = Value::fromInt(qint32(day));
        return true;
    }
    case FieldType::Time: {
        qint64 ms = 0;
        if (!parseTime(t, ms))
            return false;
        out = Value::fromInt(qint32(ms));
        return true;
    }
    case FieldType::DateTime: {
        qint64 day = 0, ms = 0;
        if (!parseDate(t, day))
            return false;
        if (t.size() > 8 && (t[8] != 'T' || !parseTime(t.sliced(9), ms)))
            return false;
        out = Value::fromReal(double(day * MsPerDay + ms));
        return true;
    }
    case FieldType::Blob: {
        auto decoded =
            QByteArray::fromBase64Encoding(scratch, QByteArray::AbortOnBase64DecodingErrors);
        out = Value::fromBytes(decoded.decoded);
        return bool(decoded);
    }
    default:
        return false;
    }
}

bool isUtf8Document(const QByteArray& bytes, qsizetype& skip) {
    skip = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        skip = 3;
        return true;
    }
    if (!bytes.startsWith("<?xml"))
        return false;
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0)
        return false;
    const QByteArray decl = bytes.left(end).toLower();
    const bool declared = decl.contains("encoding=\"utf-8\"") || decl.contains("encoding='utf-8'");
    return declared && QUtf8StringView(bytes).isValidUtf8();
}

} // namespace

namespace datapacket {

qint32 dayNumber(int year, int month, int day) {
    return qint32(QDate(year, month, day).toJulianDay() - 1721425);
}

void dateOfDay(qint32 dayNumber, int& year, int& month, int& day) {
    QDate(QDate::fromJulianDay(qint64(dayNumber) + 1721425)).getDate(&year, &month, &day);
}

// 16 significant digits, correctly rounded, trailing zeros removed; fixed notation
// as %g would choose it. This reproduces every sample the engine wrote; its one known
// quirk (859.57 written as "859.57" although the nearest 16 digits end in 1) is not
// imitated, since either text reads back to the same double.
char* writeReal(char* w, double v) {
    auto put = [&w](std::string_view text) {
        std::memcpy(w, text.data(), text.size());
        w += text.size();
    };
    if (!std::isfinite(v)) {
        put(std::isnan(v) ? "NAN" : (v > 0 ? "INF" : "-INF"));
        return w;
    }
    if (v == 0) {
        put("0");
        return w;
    }
    // d.ddddddddddddddde±XX, correctly rounded as printf's "%.15e".
    char sci[32];
    const char* sciEnd =
        std::to_chars(sci, sci + sizeof sci, std::abs(v), std::chars_format::scientific, 15).ptr;
    const char* e = std::find(static_cast<const char*>(sci), sciEnd, 'e');
    int exp = 0;
    std::from_chars(e + 2, sciEnd, exp);
    if (e[1] == '-')
        exp = -exp;
    char digits[20];
    digits[0] = sci[0];
    std::memcpy(digits + 1, sci + 2, size_t(e - sci - 2)); // without the decimal point
    int count = int(e - sci) - 1;
    while (count > 1 && digits[count - 1] == '0')
        --count;
    const std::string_view all(digits, size_t(count));
    if (v < 0)
        put("-");
    if (exp < -4 || exp >= 16) {
        put(all.substr(0, 1));
        if (count > 1) {
            put(".");
            put(all.substr(1));
        }
        put(exp < 0 ? "E-" : "E+");
        w = std::to_chars(w, w + 8, std::abs(exp)).ptr;
    } else if (exp < 0) {
        put("0.");
        for (int zeros = -exp - 1; zeros > 0; --zeros)
            put("0");
        put(all);
    } else if (count <= exp + 1) {
        put(all);
        for (int zeros = exp + 1 - count; zeros > 0; --zeros)
            put("0");
    } else {
        put(all.substr(0, size_t(exp) + 1));
        put(".");
        put(all.substr(size_t(exp) + 1));
    }
    return w;
}

QByteArray realText(double v) {
    char text[RealTextRoom];
    return QByteArray(text, writeReal(text, v) - text);
}

namespace {

// Writes the packet into `out`; with a device, hands `out` to it whenever a piece's worth
// is there and begins again. False when the device refuses a write.
bool writeXmlInto(const PacketTable& t, QByteArray& out, QIODevice* device) {
    out.append("<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\">"
               "<METADATA><FIELDS>");
    std::vector<QByteArray> names;
    for (const FieldDef& f : t.fields) {
        names.push_back(xmlName(f.name));
        out.append("<FIELD ");
        if (f.name.contains(' ')) {
            out.append("fieldname=\"");
            appendEscaped(out, f.name);
            out.append("\" ");
        }
        out.append("attrname=\"" + names.back() + "\" fieldtype=\"" + fieldTypeText(f.type) + "\"");
        if (f.attrs & FieldDef::ReadOnly)
            out.append(" readonly=\"true\"");
        if (f.attrs & FieldDef::Required)
            out.append(" required=\"true\"");
        if (f.attrs & FieldDef::Hidden)
            out.append(" hidden=\"true\"");
        if (f.attrs & FieldDef::Link)
            out.append(" linkfield=\"true\"");
        for (const char* first : {"SUBTYPE", "WIDTH", ""})
            for (const Property& p : f.props) {
                const bool known = p.name == "SUBTYPE" || p.name == "WIDTH";
                if (*first ? p.name != first : known)
                    continue;
                out.append(" " + xmlName(p.name) + "=\"");
                appendEscaped(out, p.text());
                out.append("\"");
            }
        out.append("/>");
    }
    out.append("</FIELDS><PARAMS");
    for (const Property& p : t.params) {
        out.append(" " + xmlName(p.name) + "=\"");
        appendEscaped(out, p.text());
        out.append("\"");
    }
    out.append("/></METADATA><ROWDATA>");
    for (const Row& row : t.rows) {
        out.append("<ROW");
        for (qsizetype c = 0; c < t.fields.size() && c < qsizetype(row.size()); ++c) {
            if (row[c].isNull())
                continue;
            out.append(' ');
            out.append(names[c]);
            out.append("=\"");
            appendValue(out, t.fields[c], row[c]);
            out.append('"');
        }
        out.append("/>");
        if (device && out.size() >= WritePieceSize) {
            if (device->write(out) != out.size())
                return false;
            out.truncate(0); // keeps the memory for the next piece
        }
    }
    out.append("</ROWDATA></DATAPACKET>");
    return !device || device->write(out) == out.size();
}

} // namespace

QByteArray writeXml(const PacketTable& t) {
    QByteArray out;
    out.reserve(1024 + qsizetype(t.rows.size()) * 128);
    writeXmlInto(t, out, nullptr);
    return out;
}

bool writeXml(const PacketTable& t, QIODevice& device) {
    QByteArray out;
    out.reserve(WritePieceSize * 2);
    return writeXmlInto(t, out, &device);
}

PacketResult readXml(const QByteArray& input) {
    PacketResult result;
    auto error = [&](const QString& text) {
        result.table = {};
        result.error = text;
        return result;
    };
    qsizetype skip = 0;
    QByteArray converted;
    if (isUtf8Document(input, skip))
        converted = cp932::encode(QString::fromUtf8(input.constData() + skip, input.size() - skip));
    const QByteArray& bytes = converted.isNull() ? input : converted;

    PacketTable& t = result.table;
    // Unescaped texts are never longer than the document, so this buffer never grows by
    // copying.
    const ByteStoreHold store;
    store->bytes().reserve(bytes.size());
    XmlScanner scan(bytes);
    QList<QByteArray> path; // open elements
    QHash<QByteArray, int> columnOf;
    std::vector<QByteArray> attrNames;
    bool sawPacket = false, sawFields = false, sawRowData = false, closed = false;
    ChangeLogMerge merge(t);
    QByteArray scratch;
    std::vector<bool> changed;
    XmlScanner::Attr attr;

    for (;;) {
        const XmlScanner::Token tok = scan.next();
        if (tok == XmlScanner::Token::Error)
            return error(scan.error());
        if (tok == XmlScanner::Token::Eof)
            break;
        const QByteArrayView name = scan.name();
        if (tok == XmlScanner::Token::End) {
            if (path.isEmpty() || path.last() != name)
                return error(QStringLiteral("mismatched end tag"));
            path.removeLast();
            if (path.isEmpty())
                closed = true;
            continue;
        }
        if (closed)
            return error(QStringLiteral("content after the datapacket"));
        const QByteArray parent = path.isEmpty() ? QByteArray() : path.last();
        if (path.isEmpty()) {
            if (name != "DATAPACKET")
                return error(QStringLiteral("not a datapacket"));
            sawPacket = true;
        } else if (name == "FIELD" && parent == "FIELDS") {
            FieldDef f;
            QByteArray fieldName, attrName, type;
            QList<Property> props;
            while (scan.nextAttr(attr)) {
                if (!XmlScanner::unescape(attr.raw, scratch))
                    return error(QStringLiteral("bad character reference"));
                if (attr.name == "attrname")
                    attrName = scratch;
                else if (attr.name == "fieldname")
                    fieldName = scratch;
                else if (attr.name == "fieldtype")
                    type = scratch;
                else if (attr.name == "readonly")
                    f.attrs |= scratch.startsWith('t') ? FieldDef::ReadOnly : 0;
                else if (attr.name == "required")
                    f.attrs |= scratch.startsWith('t') ? FieldDef::Required : 0;
                else if (attr.name == "hidden")
                    f.attrs |= scratch.startsWith('t') ? FieldDef::Hidden : 0;
                else if (attr.name == "linkfield")
                    f.attrs |= scratch.startsWith('t') ? FieldDef::Link : 0;
                else
                    props.append(Property::fromText(attr.name.toByteArray(), scratch));
            }
            if (!scan.error().isEmpty())
                return error(scan.error());
            if (attrName.isEmpty() || !fieldTypeOf(type, f.type))
                return error(QStringLiteral("field without a name or with an unknown type"));
            f.name = fieldName.isEmpty() ? attrName : fieldName;
            f.props = props;
            for (const Property& p : f.props)
                if (p.name == "WIDTH")
                    f.width = p.text().toInt();
            if (f.type == FieldType::Blob && f.subtype() == "Text")
                f.type = FieldType::Memo;
            if (columnOf.contains(attrName) || t.fields.size() >= 0xFFFF)
                return error(QStringLiteral("duplicate field"));
            columnOf.insert(attrName, int(t.fields.size()));
            attrNames.push_back(attrName);
            t.fields.append(std::move(f));
        } else if (name == "PARAMS" && parent == "METADATA") {
            while (scan.nextAttr(attr)) {
                if (!XmlScanner::unescape(attr.raw, scratch))
                    return error(QStringLiteral("bad character reference"));
                t.params.append(Property::fromText(attr.name.toByteArray(), scratch));
            }
            if (!scan.error().isEmpty())
                return error(scan.error());
        } else if (name == "FIELDS" && parent == "METADATA") {
            sawFields = true;
        } else if (name == "ROWDATA" && parent == "DATAPACKET") {
            sawRowData = true;
        } else if (name == "ROW" && parent == "ROWDATA") {
            const int columns = int(t.fields.size());
            if (qint64(t.rows.size() + 1) * std::max(columns, 1) > MaxCells)
                return error(QStringLiteral("more values than a data file can hold"));
            Row row(columns);
            changed.assign(columns, false);
            int status = 0;
            int expected = 0;
            while (scan.nextAttr(attr)) {
                int c = -1;
                // Attributes come in field order, so the next field is the first guess.
                if (expected < columns && attrNames[expected] == attr.name)
                    c = expected;
                else if (attr.name == "RowState") {
                    bool ok = false;
                    status = attr.raw.toByteArray().toInt(&ok);
                    if (!ok || status < 0 || status > 0xFF)
                        return error(QStringLiteral("bad row state"));
                    continue;
                } else
                    c = columnOf.value(attr.name.toByteArray(), -1);
                if (c < 0)
                    continue; // an attribute of no field: not data of this table
                if (!parseValue(t.fields[c], attr.raw, row[c], scratch, store.get()))
                    return error(QStringLiteral("bad value of field %1")
                                     .arg(QString::fromLatin1(t.fields[c].name)));
                changed[c] = true;
                expected = c + 1;
            }
            if (!scan.error().isEmpty())
                return error(scan.error());
            merge.add(status, std::move(row), &changed);
        }
        if (!scan.selfClosing()) {
            if (path.size() >= MaxDepth)
                return error(QStringLiteral("elements nested too deep"));
            path.append(name.toByteArray());
        }
    }
    if (!sawPacket || !closed)
        return error(QStringLiteral("truncated or not a datapacket"));
    if (!sawFields || !sawRowData)
        return error(QStringLiteral("datapacket without fields or rows"));
    merge.finish();
    return result;
}

} // namespace datapacket
