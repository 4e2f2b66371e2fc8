#include "records/FieldDef.h"

#include <QtEndian>

namespace {

quint32 kindOf(quint32 code) {
    return (code >> 16) & 0x3F;
}
bool isList(quint32 code) {
    return code & 0x00800000;
}
bool isVariable(quint32 code) {
    return code & 0x00400000;
}

qint64 readInt(const char* p, int size, bool isSigned) {
    switch (size) {
    case 1:
        return isSigned ? qint64(qint8(p[0])) : qint64(quint8(p[0]));
    case 2:
        return isSigned ? qint64(qFromLittleEndian<qint16>(p)) : qFromLittleEndian<quint16>(p);
    case 4:
        return isSigned ? qint64(qFromLittleEndian<qint32>(p)) : qFromLittleEndian<quint32>(p);
    case 8:
        return qFromLittleEndian<qint64>(p);
    default:
        return 0;
    }
}

void appendInt(QByteArray& out, qint64 v, int size) {
    for (int i = 0; i < size; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

} // namespace

QByteArray Property::text() const {
    const int size = typeCode & 0xFFFF;
    const quint32 kind = kindOf(typeCode);
    if (isList(typeCode)) {
        QByteArray out;
        if (raw.size() < 4 || size <= 0 || size > 8)
            return out;
        const qint64 count = qFromLittleEndian<quint32>(raw.constData());
        for (qint64 i = 0; i < count && 4 + (i + 1) * size <= raw.size(); ++i) {
            if (i)
                out.append(' ');
            out.append(
                QByteArray::number(readInt(raw.constData() + 4 + i * size, size, kind == 1)));
        }
        return out;
    }
    if (isVariable(typeCode)) {
        QByteArray t = raw;
        if (t.endsWith('\0'))
            t.chop(1);
        return t;
    }
    if (raw.size() < size)
        return {};
    if (kind == 3)
        return readInt(raw.constData(), size, false) ? "TRUE" : "FALSE";
    if (kind == 4 && size == 8)
        return QByteArray::number(qFromLittleEndian<double>(raw.constData()), 'g', 16);
    return QByteArray::number(readInt(raw.constData(), size, kind == 1));
}

Property Property::fromUInt16(const QByteArray& name, quint16 v) {
    Property p{name, typecode::U2, {}};
    appendInt(p.raw, v, 2);
    return p;
}

Property Property::fromString(const QByteArray& name, const QByteArray& text) {
    return Property{name, typecode::String2, text + '\0'};
}

Property Property::fromText(const QByteArray& name, const QByteArray& text) {
    const QByteArray upper = name.toUpper();
    if (upper == "WIDTH") {
        bool ok = false;
        const uint v = text.toUInt(&ok);
        if (ok && v <= 0xFFFF)
            return fromUInt16(name, quint16(v));
    } else if (upper == "LCID") {
        bool ok = false;
        const qint32 v = text.toInt(&ok);
        if (ok) {
            Property p{name, typecode::I4, {}};
            appendInt(p.raw, v, 4);
            return p;
        }
    } else if (upper == "DEFAULT_ORDER" || upper == "PRIMARY_KEY" || upper == "CHANGE_LOG") {
        const bool wide = upper == "CHANGE_LOG";
        const QList<QByteArray> parts = text.simplified().split(' ');
        Property p{name, wide ? typecode::List4 : typecode::List2, {}};
        QByteArray elements;
        qint64 count = 0;
        bool ok = true;
        for (const QByteArray& part : parts) {
            if (part.isEmpty())
                continue;
            const qint32 v = part.toInt(&ok);
            if (!ok)
                break;
            appendInt(elements, v, wide ? 4 : 2);
            ++count;
        }
        if (ok) {
            appendInt(p.raw, count, 4);
            p.raw.append(elements);
            return p;
        }
    }
    return fromString(name, text);
}

QByteArray FieldDef::subtype() const {
    for (const Property& p : props)
        if (p.name.compare("SUBTYPE", Qt::CaseInsensitive) == 0)
            return p.text();
    return {};
}

quint32 FieldDef::typeCode() const {
    switch (type) {
    case FieldType::String:
        return width < 255 ? typecode::String1 : typecode::String2;
    case FieldType::I2:
        return typecode::I2;
    case FieldType::I4:
        return typecode::I4;
    case FieldType::Boolean:
        return typecode::Boolean;
    case FieldType::R8:
        return typecode::R8;
    case FieldType::Date:
        return typecode::Date;
    case FieldType::Time:
        return typecode::Time;
    case FieldType::DateTime:
        return typecode::DateTime;
    case FieldType::Memo:
    case FieldType::Blob:
        return typecode::Bytes4;
    }
    return 0;
}

FieldDef FieldDef::make(const QByteArray& name, FieldType type, int width,
                        const QByteArray& subtype) {
    FieldDef f;
    f.name = name;
    f.type = type;
    f.width = width;
    if (!subtype.isEmpty())
        f.props.append(Property::fromString("SUBTYPE", subtype));
    if (width > 0)
        f.props.append(Property::fromUInt16("WIDTH", quint16(width)));
    return f;
}
