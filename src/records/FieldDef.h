#pragma once
// Field and property definitions of a datapacket, kept complete so that a file read
// and saved again loses nothing the program does not use.
#include <QByteArray>
#include <QList>
#include <QtGlobal>

enum class FieldType : quint8 { String, I2, I4, Boolean, R8, Date, Time, DateTime, Memo, Blob };

namespace typecode {
constexpr quint32 I2 = 0x00010002;
constexpr quint32 I4 = 0x00010004;
constexpr quint32 U2 = 0x00020002;
constexpr quint32 Boolean = 0x00030002;
constexpr quint32 R8 = 0x00040008;
constexpr quint32 Date = 0x00060004;
constexpr quint32 Time = 0x00070004;
constexpr quint32 DateTime = 0x00080008;
constexpr quint32 String1 = 0x00490001;
constexpr quint32 String2 = 0x00490002;
constexpr quint32 Bytes4 = 0x004B0004;
constexpr quint32 List2 = 0x00820002;
constexpr quint32 List4 = 0x00820004;
} // namespace typecode

// A field or dataset property as the binary form holds it: name, type code and the
// value's encoded bytes (without the length prefix for texts and lists).
struct Property {
    QByteArray name;
    quint32 typeCode = 0;
    QByteArray raw;

    // Readable form as the XML form writes it (text, number, space-separated list).
    QByteArray text() const;
    // The property named `name` from its XML text, typed by the known property names.
    static Property fromText(const QByteArray& name, const QByteArray& text);
    static Property fromUInt16(const QByteArray& name, quint16 v);
    static Property fromString(const QByteArray& name, const QByteArray& text);
    bool operator==(const Property&) const = default;
};

struct FieldDef {
    enum Attr : quint16 { Hidden = 1, ReadOnly = 2, Required = 4, Link = 8 };

    QByteArray name;
    FieldType type = FieldType::String;
    int width = 0;         // bytes for strings; 0 when the field has no WIDTH
    quint16 attrs = 0;     // Attr flags
    QList<Property> props; // all field properties in file order, WIDTH and SUBTYPE included

    QByteArray subtype() const; // SUBTYPE text or empty
    quint32 typeCode() const;   // binary type code
    bool isText() const { return type == FieldType::String || type == FieldType::Memo; }
    bool operator==(const FieldDef&) const = default;

    // A field as a new definition makes it; WIDTH and SUBTYPE become properties.
    static FieldDef make(const QByteArray& name, FieldType type, int width = 0,
                         const QByteArray& subtype = {});
};
