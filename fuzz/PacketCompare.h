#pragma once
// Comparison of two read datapackets, used by the round-trip properties.
#include "records/Datapacket.h"

#include "platform/Cp932.h"

#include <algorithm>
#include <cmath>

namespace fuzzsupport {

// The XML form writes reals with 16 significant digits, so they come back within a
// few units of the last place; every other value must come back exactly.
inline bool sameReal(double a, double b) {
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    if (a == b)
        return true;
    return std::abs(a - b) <= 1e-15 * std::max(std::abs(a), std::abs(b));
}

// Field definitions alike; the XML form writes SUBTYPE and WIDTH first, so the
// order of a field's properties may change.
inline bool sameFields(const PacketTable& a, const PacketTable& b) {
    if (a.fields.size() != b.fields.size())
        return false;
    auto byName = [](QList<Property> props) {
        std::stable_sort(props.begin(), props.end(),
                         [](const Property& x, const Property& y) { return x.name < y.name; });
        return props;
    };
    for (qsizetype i = 0; i < a.fields.size(); ++i) {
        const FieldDef& x = a.fields[i];
        const FieldDef& y = b.fields[i];
        if (x.name != y.name || x.type != y.type || x.width != y.width || x.attrs != y.attrs ||
            byName(x.props) != byName(y.props))
            return false;
    }
    return true;
}

inline bool sameValues(const PacketTable& a, const PacketTable& b, bool exactReals) {
    if (a.rows.size() != b.rows.size())
        return false;
    for (size_t r = 0; r < a.rows.size(); ++r) {
        const Row& x = a.rows[r];
        const Row& y = b.rows[r];
        for (size_t c = 0; c < x.size() || c < y.size(); ++c) {
            const Value vx = c < x.size() ? x[c] : Value();
            const Value vy = c < y.size() ? y[c] : Value();
            if (!exactReals && vx.isReal() && vy.isReal()) {
                if (!sameReal(vx.toReal(), vy.toReal()))
                    return false;
            } else if (!(vx == vy)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace fuzzsupport

namespace fuzzsupport {

// A name the XML form keeps as it is: XML name bytes only, and not one of the FIELD
// element's own attribute names.
inline bool plainXmlName(const QByteArray& name) {
    if (name.isEmpty())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const unsigned char c = quint8(name[i]);
        const bool letter =
            c >= 0x80 || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        const bool more = (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!letter && (i == 0 || !more))
            return false;
    }
    for (const char* own : {"attrname", "fieldname", "fieldtype", "readonly", "required", "hidden",
                            "linkfield", "RowState"})
        if (name == own)
            return false;
    return true;
}

// True when the table has only what the XML form can express: plain distinct names
// and dates within years 1..9999. Tables beyond that are damaged files, for which
// only "no crash" is asked of the XML writer.
inline bool fitsXmlForm(const PacketTable& t) {
    constexpr double MsPerDay = 86400000.0;
    constexpr qint32 LastDay = 3652059; // 9999-12-31
    QList<QByteArray> seen;
    for (const FieldDef& f : t.fields) {
        if (!plainXmlName(f.name) || seen.contains(f.name))
            return false;
        seen.append(f.name);
        QList<QByteArray> props;
        for (const Property& p : f.props) {
            if (!plainXmlName(p.name) || props.contains(p.name))
                return false;
            props.append(p.name);
        }
    }
    for (const Property& p : t.params)
        if (!plainXmlName(p.name))
            return false;
    for (const Row& row : t.rows)
        for (qsizetype c = 0; c < t.fields.size() && c < qsizetype(row.size()); ++c) {
            const Value& v = row[c];
            switch (t.fields[c].type) {
            case FieldType::Date:
                if (!v.isNull() && (v.toInt() < 1 || v.toInt() > LastDay))
                    return false;
                break;
            case FieldType::Time:
                if (!v.isNull() && (v.toInt() < 0 || v.toInt() >= MsPerDay))
                    return false;
                break;
            case FieldType::DateTime:
                if (!v.isNull() &&
                    !(v.toReal() >= MsPerDay && v.toReal() < (LastDay + 1) * MsPerDay &&
                      v.toReal() == std::floor(v.toReal())))
                    return false;
                break;
            case FieldType::Boolean:
                if (!v.isNull() && v.toInt() != 0 && v.toInt() != 1)
                    return false;
                break;
            default:
                break;
            }
        }
    return true;
}

} // namespace fuzzsupport

namespace fuzzsupport {

// A string value longer than its field's length prefix can count is cut on writing
// (255 bytes below WIDTH 255, else 65535); values only a damaged file can hold.
inline PacketTable binaryHoldable(PacketTable t) {
    for (Row& row : t.rows)
        for (qsizetype c = 0; c < t.fields.size() && c < qsizetype(row.size()); ++c)
            if (t.fields[c].type == FieldType::String && row[c].isBytes()) {
                const qsizetype room = t.fields[c].typeCode() == typecode::String1 ? 0xFF : 0xFFFF;
                if (row[c].toBytes().size() > room)
                    row[c] = Value::fromBytes(cp932::cutToWidth(row[c].toBytes(), room));
            }
    return t;
}

} // namespace fuzzsupport
