// Hostile files: a declared length or count beyond the bytes left is an error, not an
// allocation; nesting and sizes are bounded; the XML form expands no entities.
#include "app/Settings.h"
#include "platform/ProfileFile.h"
#include "records/DataFile.h"
#include "records/Datapacket.h"
#include "records/Dataset.h"
#include "table/LineItemTable.h"
#include "table/TableCsv.h"

#include <QFile>
#include <QFileInfo>
#include <QSize>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <climits>

namespace {

// Little-endian bytes of a binary datapacket, written piece by piece.
struct Bytes {
    QByteArray b;
    Bytes& u8(quint8 v) { return raw(QByteArray(1, char(v))); }
    Bytes& u16(quint16 v) { return num(v); }
    Bytes& u32(quint32 v) { return num(v); }
    Bytes& raw(const QByteArray& v) {
        b.append(v);
        return *this;
    }
    Bytes& name(const QByteArray& v) { return u8(quint8(v.size())).raw(v); }
    template <typename T> Bytes& num(T v) {
        char buf[sizeof(T)];
        qToLittleEndian<T>(v, buf);
        b.append(buf, sizeof(T));
        return *this;
    }
};

Bytes header(quint16 columns, quint32 rows) {
    Bytes h;
    h.raw(QByteArray(datapacket::BinaryMagic, 4)).u16(1).u16(0).u32(24).u16(columns).u32(rows);
    h.u32(1).u16(0); // field definitions present, rows found by walking them
    return h;
}

// One field without properties.
Bytes& field(Bytes& b, const QByteArray& name, quint32 code) {
    return b.name(name).u32(code).u16(0).u16(0);
}

struct BinaryCase {
    const char* what;
    QByteArray bytes;
};

TEST(ReaderLimits, BinaryDeclaredSizesBeyondTheBytesAreErrors) {
    std::vector<BinaryCase> cases;
    {
        Bytes b = header(1, 0xFFFFFFFF);
        field(b, "a", typecode::I4).u16(0).u8(0).u8(0).u32(7);
        cases.push_back({"row count of four billion", b.b});
    }
    {
        Bytes b = header(1, 1);
        field(b, "memo", typecode::Bytes4).u16(0).u8(0).u8(0).u32(0xFFFFFFF0).raw("abc");
        cases.push_back({"memo length beyond the file", b.b});
    }
    {
        Bytes b = header(1, 1);
        field(b, "s", typecode::String2).u16(0).u8(0).u8(0).u16(0xFFFF).raw("abc");
        cases.push_back({"string length beyond the file", b.b});
    }
    {
        Bytes b = header(1, 0);
        b.name("f").u32(typecode::I4).u16(0).u16(1);
        b.name("DEFAULT_ORDER").u32(typecode::List2).u32(0x7FFFFFFF).u16(1);
        cases.push_back({"list property with two billion elements", b.b});
    }
    {
        Bytes b = header(1, 0);
        b.name("f").u32(typecode::Bytes4).u16(0).u16(1);
        b.name("SUBTYPE").u32(typecode::String2).u16(0xFFFF).raw("Text");
        cases.push_back({"text property longer than the file", b.b});
    }
    {
        Bytes b = header(1, 0);
        b.name("f").u32(0x00490000 | 0x7FFF).u16(0).u16(0).u16(0);
        cases.push_back({"a field of an unknown type", b.b});
    }
    cases.push_back({"65535 columns in a header alone", header(0xFFFF, 1).b});
    {
        Bytes b;
        b.raw(QByteArray(datapacket::BinaryMagic, 4)).u16(1).u16(0).u32(0xFFFFFFF0).u16(0).u32(0);
        b.u32(1).u16(0);
        cases.push_back({"header size beyond the file", b.b});
    }
    {
        Bytes b;
        b.raw(QByteArray(datapacket::BinaryMagic, 4)).u16(1).u16(0).u32(24).u16(1).u32(1);
        b.u32(3).u16(0xFFF0);
        field(b, "a", typecode::I4).u16(0);
        cases.push_back({"data offset beyond the file", b.b});
    }
    {
        // Each empty record of one field is two bytes in the file but a row in memory.
        Bytes b = header(1, 10'000'000);
        field(b, "a", typecode::I4).u16(0);
        b.raw(QByteArray("\x00\x01", 2).repeated(10'000'000));
        cases.push_back({"ten million records of one null field", b.b});
    }
    for (const BinaryCase& c : cases) {
        SCOPED_TRACE(c.what);
        const PacketResult r = datapacket::readBinary(c.bytes);
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.table.fields.isEmpty());
        EXPECT_TRUE(r.table.rows.empty());
    }
}

TEST(ReaderLimits, BinaryRowsWithinTheCapStillRead) {
    Bytes b = header(1, 1000);
    field(b, "a", typecode::I4).u16(0);
    for (int i = 0; i < 1000; ++i)
        b.u8(0).u8(1); // status 0, field null
    const PacketResult r = datapacket::readBinary(b.b);
    ASSERT_TRUE(r.ok()) << qPrintable(r.error);
    EXPECT_EQ(r.table.rows.size(), 1000u);
}

QByteArray xmlPacket(const QByteArray& fields, const QByteArray& rows) {
    return "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET "
           "Version=\"2.0\"><METADATA><FIELDS>" +
           fields + "</FIELDS><PARAMS/></METADATA><ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

TEST(ReaderLimits, XmlExpandsNoEntitiesAndBoundsNesting) {
    const QByteArray field = "<FIELD attrname=\"s\" fieldtype=\"string\" WIDTH=\"20\"/>";
    const QByteArray laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE DATAPACKET [<!ENTITY a \"aaaaaaaaaa\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c "
        "\"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>" +
        xmlPacket(field, "<ROW s=\"&c;\"/>").mid(21);
    QByteArray deep = "<DATAPACKET Version=\"2.0\">";
    for (int i = 0; i < 100000; ++i)
        deep += "<X>";
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"entity declarations", laughs},
        {"an undeclared entity", xmlPacket(field, "<ROW s=\"&c;\"/>")},
        {"a character reference beyond Unicode", xmlPacket(field, "<ROW s=\"&#1114112;\"/>")},
        {"a character reference of twenty digits",
         xmlPacket(field, "<ROW s=\"&#99999999999999999999;\"/>")},
        {"an external entity reference", xmlPacket(field, "<ROW s=\"&xxe;\"/>")},
        {"a hundred thousand nested elements", deep},
        {"a packet cut short", xmlPacket(field, "<ROW s=\"a\"/>").left(120)},
        {"an unterminated comment", "<DATAPACKET Version=\"2.0\"><!-- " + QByteArray(1000, '-')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PacketResult r = datapacket::readXml(c.bytes);
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.table.rows.empty());
    }
    // Character references themselves are read: one byte each.
    const PacketResult refs =
        datapacket::readXml(xmlPacket(field, "<ROW s=\"&#065;&#x42;&amp;\"/>"));
    ASSERT_TRUE(refs.ok()) << qPrintable(refs.error);
    EXPECT_EQ(refs.table.rows.at(0).at(0).toBytes(), "AB&");
}

TEST(ReaderLimits, XmlRowsBeyondTheValueCapAreRefused) {
    // Twenty fields make every "<ROW/>" (six bytes) a row of twenty values in memory.
    QByteArray fields;
    for (int i = 0; i < 20; ++i)
        fields += "<FIELD attrname=\"f" + QByteArray::number(i) + "\" fieldtype=\"i4\"/>";
    QByteArray rows;
    const qint64 needed = datapacket::MaxCells / 20 + 1;
    rows.reserve(needed * 6);
    for (qint64 i = 0; i < needed; ++i)
        rows += "<ROW/>";
    const PacketResult over = datapacket::readXml(xmlPacket(fields, rows));
    EXPECT_FALSE(over.ok());
    rows.chop(6);
    const PacketResult at = datapacket::readXml(xmlPacket(fields, rows));
    EXPECT_TRUE(at.ok()) << qPrintable(at.error);
}

TEST(ReaderLimits, DataFileRefusesAFileOfMoreThanAGigabyteWithoutReadingIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.dat"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(datapacket::BinaryMagic, 4);
    ASSERT_TRUE(file.resize((qint64(1) << 30) + 1)); // sparse: no disk space used
    file.close();
    Dataset records;
    EXPECT_FALSE(DataFile::load(records, path).isEmpty());
    EXPECT_FALSE(records.isActive());
}

TEST(ReaderLimits, TableAndProfileSizesAreBounded) {
    LineItemTable grid;
    grid.setRowCount(INT_MAX); // a damaged `linecount`
    EXPECT_LE(grid.rowCount(), kMaxTableRowCount);
    QByteArray manyLines;
    for (int i = 0; i < 200000; ++i)
        manyLines += "a,b,c,d,e,f,g,h\r\n";
    GridLoadCSV(grid, manyLines);
    EXPECT_EQ(grid.cell(grid.rowCount() - 1, 5), "f");

    const ProfileFile profile =
        ProfileFile::fromBytes("[sender]\r\nsender1=" + QByteArray(1 << 20, 'x') + "\r\n");
    EXPECT_EQ(profile.readString("sender", "sender1", {}).size(), ProfileFile::maxValueBytes);
}

TEST(ReaderLimits, OversizedSettingsFileIsNeitherReadNorOverwritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ledora.ini"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[View]\r\nMargin=25\r\n");
    ASSERT_TRUE(file.resize(ProfileFile::maxFileBytes + 1)); // sparse: the rest reads as zeros
    file.close();

    ProfileFile profile;
    EXPECT_FALSE(profile.load(path));
    EXPECT_EQ(readSettings(path, QSize(1024, 768)).Margin, 0); // the default
    EXPECT_TRUE(writeSettings(path, Settings{}).has_value());
    EXPECT_EQ(QFileInfo(path).size(), ProfileFile::maxFileBytes + 1);
}

} // namespace
