#include "RecordsTestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <gtest/gtest.h>

namespace {

const char* const SampleNames[] = {"nextcust", "country",  "industry", "employee", "customer",
                                   "vendors",  "reservat", "custoly",  "orders",   "animals"};

QByteArray readSample(const QString& name) {
    QFile f(QStringLiteral(LEDORA_SHARED_DIR "/fixtures/datapacket-samples/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every kind of field the engine keeps, with the values that are easy to lose.
PacketTable allKinds() {
    PacketTable t;
    t.fields = {FieldDef::make("s", FieldType::String, 20),
                FieldDef::make("i2", FieldType::I2),
                FieldDef::make("i4", FieldType::I4),
                FieldDef::make("b", FieldType::Boolean),
                FieldDef::make("r", FieldType::R8),
                FieldDef::make("d", FieldType::Date),
                FieldDef::make("t", FieldType::Time),
                FieldDef::make("dt", FieldType::DateTime),
                FieldDef::make("m", FieldType::Memo, 0, "Text"),
                FieldDef::make("bl", FieldType::Blob, 0, "Binary"),
                FieldDef::make("wide", FieldType::String, 300)};
    t.fields[2].attrs = FieldDef::Required;
    t.params = {Property::fromText("DEFAULT_ORDER", "1 3"), Property::fromText("LCID", "1041")};
    const double stamp = 734399.0 * 86400000 + 51787060; // 2011-09-19 14:23:07.060
    t.rows.push_back({Value::fromBytes(sjis("表示 ～ & \"<'>\\")), Value::fromInt(-32768),
                      Value::fromInt(2147483647), Value::fromInt(1), Value::fromReal(0.08),
                      Value::fromInt(734399), Value::fromInt(36000000), Value::fromReal(stamp),
                      Value::fromBytes(sjis("一行目,\"x\"\r\n二行目\t&#65;")),
                      Value::fromBytes(QByteArray("\0\x01\xFF", 3)),
                      Value::fromBytes(QByteArray(280, 'w'))});
    t.rows.push_back({Value::fromBytes(""), Value(), Value::fromInt(0), Value::fromInt(0),
                      Value::fromReal(-1234.5), Value(), Value::fromInt(0),
                      Value::fromReal(734399.0 * 86400000), Value::fromBytes(""),
                      Value::fromBytes(""), Value()});
    t.rows.push_back(Row(t.fields.size())); // all null
    return t;
}

std::vector<Row> comparable(const PacketTable& t) {
    std::vector<Row> rows = t.rows;
    for (Row& row : rows)
        for (qsizetype c = 0; c < t.fields.size(); ++c)
            if (t.fields[c].type == FieldType::R8 && !row[size_t(c)].isNull())
                row[size_t(c)] = Value::fromBytes(datapacket::realText(row[size_t(c)].toReal()));
    return rows;
}

} // namespace

TEST(Datapacket, SamplesDecodeToTheSameValuesAndReencodeByteForByte) {
    if (!QDir(QStringLiteral(LEDORA_SHARED_DIR "/fixtures/datapacket-samples")).exists())
        GTEST_SKIP() << "datapacket samples not found under " LEDORA_SHARED_DIR;
    for (const char* name : SampleNames) {
        SCOPED_TRACE(name);
        const QByteArray bin = readSample(QString::fromLatin1(name) + ".cds");
        const QByteArray xml = readSample(QString::fromLatin1(name) + ".xml");
        const PacketResult fromBin = datapacket::read(bin);
        const PacketResult fromXml = datapacket::read(xml);
        ASSERT_TRUE(fromBin.ok()) << fromBin.error.toStdString();
        ASSERT_TRUE(fromXml.ok()) << fromXml.error.toStdString();
        // The XML form holds reals to 16 digits, so they compare by that text.
        EXPECT_EQ(comparable(fromBin.table), comparable(fromXml.table));
        EXPECT_EQ(fromBin.table.params, fromXml.table.params);
        EXPECT_EQ(fromBin.table.fields.size(), fromXml.table.fields.size());
        EXPECT_EQ(datapacket::writeBinary(fromBin.table), bin);
        EXPECT_EQ(datapacket::writeXml(fromXml.table), xml);
        EXPECT_EQ(datapacket::writeXml(fromBin.table), xml);
        // Their strings keep within their widths (some fill them exactly): a dataset
        // takes them whole.
        Dataset d;
        d.setContent(fromBin.table);
        EXPECT_EQ(d.content(), fromBin.table);
    }
}

TEST(Datapacket, RealTextHasSixteenCorrectlyRoundedDigits) {
    auto bits = [](quint64 b) {
        double d;
        std::memcpy(&d, &b, sizeof d);
        return d;
    };
    const std::pair<double, const char*> cases[] = {
        {9851, "9851"},
        {33292.9375, "33292.9375"},
        {bits(0x40e93b24cccccccc), "51673.14999999999"},
        {bits(0x40e93b24cccccccd), "51673.15"},
        {bits(0x40bcff5999999999), "7423.349999999999"}, // a tie at 17 digits goes down
        {97698.6, "97698.60000000001"},
        {0.08, "0.08"},
        {150400000, "150400000"},
        {-22.5, "-22.5"},
        {0.0001, "0.0001"},
        {1e20, "1E+20"}};
    for (const auto& [v, text] : cases)
        EXPECT_EQ(datapacket::realText(v), QByteArray(text)) << text;
}

// The text is made from printf's correctly rounded "%.15e" digits: any other way of
// getting them must give the same digits for every double, ties and extremes included.
TEST(Datapacket, RealTextHasPrintfsDigitsForRandomDoubles) {
    std::mt19937_64 random(20261211);
    for (int i = 0; i < 200000; ++i) {
        double v;
        const quint64 b = random();
        std::memcpy(&v, &b, sizeof v);
        if (!std::isfinite(v) || v == 0)
            continue;
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15e", std::abs(v));
        const QByteArray text = datapacket::realText(v);
        QByteArray digits = QByteArray(buf).left(QByteArray(buf).indexOf('e')).replace(".", "");
        while (digits.size() > 1 && digits.endsWith('0'))
            digits.chop(1);
        QByteArray written = text;
        written.replace("-", "").replace(".", "");
        written = written.left(written.indexOf('E') < 0 ? written.size() : written.indexOf('E'));
        while (written.startsWith('0') && written.size() > 1)
            written.remove(0, 1);
        while (written.size() > 1 && written.endsWith('0'))
            written.chop(1);
        ASSERT_EQ(written, digits) << text.constData() << " " << buf;
    }
}

TEST(Datapacket, BothFormsReadBackEverythingTheyWrite) {
    const PacketTable t = allKinds();
    for (bool xml : {false, true}) {
        SCOPED_TRACE(xml ? "xml" : "binary");
        const QByteArray bytes = xml ? datapacket::writeXml(t) : datapacket::writeBinary(t);
        const PacketResult back = datapacket::read(bytes);
        ASSERT_TRUE(back.ok()) << back.error.toStdString();
        EXPECT_EQ(back.table, t);
        EXPECT_EQ(xml ? datapacket::writeXml(back.table) : datapacket::writeBinary(back.table),
                  bytes);
    }
}

// Read texts point into one buffer of the file's bytes: they must outlive the read
// table and the caller's bytes, and an edit of one record must not reach another.
TEST(Datapacket, ReadTextsOutliveTheirPacketAndEditsStayInTheirRecord) {
    Dataset source = emptyRecords();
    addRecord(source, 1, "あ", "安藤");
    addRecord(source, 2, "か", "");
    source.setNull("name");
    source.post();
    for (bool xml : {false, true}) {
        SCOPED_TRACE(xml ? "xml" : "binary");
        QByteArray bytes = xml ? datapacket::writeXml(source.content())
                               : datapacket::writeBinary(source.content());
        Dataset d;
        Value kept;
        {
            PacketResult r = datapacket::read(QByteArray(bytes.constData(), bytes.size()));
            ASSERT_TRUE(r.ok());
            kept = r.table.rows[0][size_t(r.table.fieldIndex("name"))];
            d.setContent(std::move(r.table));
        }
        EXPECT_EQ(kept.toBytes(), sjis("安藤"));
        d.first();
        d.setText("name", sjis("加藤"));
        d.post();
        d.next();
        EXPECT_TRUE(d.isNull("name")); // null stays apart from the empty text
        EXPECT_EQ(d.asText("cate"), sjis("か"));
        d.first();
        EXPECT_EQ(d.asText("name"), sjis("加藤"));
        EXPECT_EQ(kept.toBytes(), sjis("安藤"));
        d.clear();
        EXPECT_EQ(kept.toBytes(), sjis("安藤"));
    }
}

TEST(Datapacket, XmlEscapesMarkupControlsAndBackslashButNotTrailBytes) {
    PacketTable t;
    t.fields = {FieldDef::make("m", FieldType::Memo, 0, "Text")};
    t.rows.push_back({Value::fromBytes(sjis("表\\a\r\n\t<&>\"'"))}); // 表 = 95 5C
    const QByteArray xml = datapacket::writeXml(t);
    EXPECT_TRUE(xml.contains(sjis("表") + "&#092;a&#013;&#010;&#009;&lt;&amp;&gt;&quot;&apos;"))
        << xml.constData();
    // A lead byte without its trail byte must not swallow the quote or a line break.
    for (const QByteArray& odd :
         {QByteArray("a\x81\"b"), QByteArray("\x82\r\n"), QByteArray("z\x9F")}) {
        t.rows[0][0] = Value::fromBytes(odd);
        const PacketResult back = datapacket::readXml(datapacket::writeXml(t));
        ASSERT_TRUE(back.ok()) << back.error.toStdString();
        EXPECT_EQ(back.table.rows[0][0].toBytes(), odd);
    }
}

TEST(Datapacket, TemplateReadsWithItsFieldsAndOneRecord) {
    const QByteArray tmpl = NewFileTemplate();
    EXPECT_EQ(tmpl.count("\r\n"), 29);
    EXPECT_TRUE(tmpl.contains("<FIELD attrname=\"line5\" fieldtype=\"i4\"/> \r\n"));
    EXPECT_TRUE(tmpl.endsWith("</DATAPACKET>\r\n"));
    const PacketResult r = datapacket::read(tmpl);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    QList<QByteArray> names;
    for (const FieldDef& f : r.table.fields)
        names.append(f.name);
    EXPECT_EQ(names, (QList<QByteArray>{"cate",  "name",  "num",        "sday",       "day",
                                        "pcode", "addr",  "tel",        "lineheight", "Sum",
                                        "other", "memo",  "honorifics", "linecount",  "line1",
                                        "line2", "line3", "line4",      "line5",      "SalesTax"}));
    EXPECT_EQ(r.table.fields[r.table.fieldIndex("honorifics")].width, 10);
    EXPECT_EQ(r.table.fields[r.table.fieldIndex("Sum")].type, FieldType::Memo);
    ASSERT_EQ(r.table.rows.size(), 1u);
    Dataset d;
    d.setContent(r.table);
    EXPECT_EQ(d.asText("cate"), sjis("他"));
    EXPECT_EQ(d.asInteger("num"), 0);
    EXPECT_EQ(d.asDateTime("sday"), QDateTime(QDate(2011, 9, 19), QTime(14, 23, 7, 60)));
    EXPECT_TRUE(d.isNull("name"));
    // A binary file written from it keeps the order, widths and the empty DEFAULT_ORDER.
    const PacketResult again = datapacket::read(datapacket::writeBinary(r.table));
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.table, r.table);
    EXPECT_TRUE(datapacket::writeXml(r.table).contains("<PARAMS DEFAULT_ORDER=\"\"/>"));
}

TEST(Datapacket, XmlReadsUtf8OnlyWhenMarkedAndConvertsItToCp932) {
    const QByteArray body = "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"n\" "
                            "fieldtype=\"string\" WIDTH=\"10\"/></FIELDS><PARAMS/></METADATA>"
                            "<ROWDATA><ROW n=\"" +
                            QString::fromUtf8("あ").toUtf8() + "\"/></ROWDATA></DATAPACKET>";
    const QByteArray declared = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + body;
    for (const QByteArray& doc : {"\xEF\xBB\xBF" + body, declared}) {
        const PacketResult r = datapacket::readXml(doc);
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(r.table.rows[0][0].toBytes(), sjis("あ"));
    }
    const PacketResult raw = datapacket::readXml(body); // no mark: the bytes as they are
    ASSERT_TRUE(raw.ok());
    EXPECT_EQ(raw.table.rows[0][0].toBytes(), QString::fromUtf8("あ").toUtf8());
}

TEST(Datapacket, ChangeLogRowsAreMerged) {
    const QByteArray xml =
        "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"k\" fieldtype=\"i4\"/>"
        "<FIELD attrname=\"v\" fieldtype=\"string\" WIDTH=\"5\"/></FIELDS>"
        "<PARAMS CHANGE_LOG=\"1 0 4 2 0 2\" LCID=\"1041\"/></METADATA><ROWDATA>"
        "<ROW k=\"1\" v=\"a\"/><ROW RowState=\"1\" k=\"2\" v=\"b\"/><ROW RowState=\"8\" v=\"B\"/>"
        "<ROW RowState=\"2\" k=\"3\" v=\"c\"/><ROW RowState=\"4\" k=\"4\" v=\"d\"/></ROWDATA>"
        "</DATAPACKET>";
    const PacketResult r = datapacket::readXml(xml);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    ASSERT_EQ(r.table.rows.size(), 3u);
    EXPECT_EQ(r.table.rows[1][0].toInt(), 2);
    EXPECT_EQ(r.table.rows[1][1].toBytes(), "B");
    EXPECT_EQ(r.table.rows[2][0].toInt(), 4);
    ASSERT_EQ(r.table.params.size(), 1);
    EXPECT_EQ(r.table.params[0].name, "LCID");
}

TEST(Datapacket, DamagedInputIsAnErrorNeverACrash) {
    const QByteArray bin = datapacket::writeBinary(allKinds());
    const QByteArray xml = datapacket::writeXml(allKinds());
    QByteArray hugeRows = bin;
    std::memset(hugeRows.data() + 14, 0xFF, 4); // row count
    QByteArray hugeMemo = bin;
    // The first row's memo length sits before its text; claim 2 GB instead.
    const qsizetype memoAt = hugeMemo.indexOf(sjis("一行目")) - 4;
    std::memset(hugeMemo.data() + memoAt, 0x7F, 4);
    QByteArray wrongMagic = bin;
    wrongMagic[0] = 'X';
    const QByteArray deep = "<DATAPACKET>" + QByteArray(100000, '<').replace("<", "<a>");
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"binary header only", bin.left(24)},
        {"binary cut in a row", bin.left(bin.size() - 3)},
        {"row count beyond the bytes", hugeRows},
        {"memo length beyond the bytes", hugeMemo},
        {"wrong magic", wrongMagic},
        {"xml cut", xml.left(xml.size() / 2)},
        {"garbage", QByteArray("\x01\x02garbage<<>>&&\"", 15)},
        {"not a datapacket", "<?xml version=\"1.0\"?><html><body/></html>"},
        {"entity declarations", "<!DOCTYPE x [<!ENTITY a \"b\">]><DATAPACKET/>"},
        {"deep nesting", deep},
        {"bad number", QByteArray(xml).replace("i2=\"-32768\"", "i2=\"12x\"")},
        {"unknown entity", QByteArray(xml).replace("&amp;", "&bogus;")},
        {"unknown field type", QByteArray(xml).replace("\"r8\"", "\"fixed\"")},
    };
    for (const auto& [what, bytes] : cases) {
        const PacketResult r = datapacket::read(bytes);
        EXPECT_FALSE(r.ok()) << what;
        EXPECT_TRUE(r.table.fields.isEmpty() && r.table.rows.empty()) << what;
    }
}

namespace {

// A binary packet whose rows carry a change log, one of them a memo larger than the
// pieces a large file is read in.
QByteArray packetWithChangeLog() {
    PacketTable t;
    t.fields = {FieldDef::make("k", FieldType::I4), FieldDef::make("v", FieldType::String, 5),
                FieldDef::make("m", FieldType::Memo, 0, "Text")};
    const char* const texts[] = {"a", "b", "B", "c", "d", "e", "f"};
    for (int k = 0; k < 7; ++k)
        t.rows.push_back({Value::fromInt(k + 1), Value::fromBytes(texts[k]),
                          Value::fromBytes(QByteArray(k == 4 ? 600000 : 3, 'm'))});
    QByteArray bytes = datapacket::writeBinary(t);
    // Status bytes: an original, one inserted and then modified, one deleted, one
    // inserted, one no longer used, one plain.
    const quint8 statuses[] = {1, 4, 8, 2, 4, 0x20, 0};
    qsizetype at = qFromLittleEndian<quint16>(bytes.constData() + 22);
    for (int k = 0; k < 7; ++k) {
        bytes[at] = char(statuses[k]);
        at += 1 + 1 + 4 + 1 + t.rows[size_t(k)][1].toBytes().size() + 4 +
              t.rows[size_t(k)][2].toBytes().size();
    }
    return bytes;
}

PacketResult readRecord(const QByteArray& bytes, qint64 index, qint64& count) {
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    return datapacket::readBinaryRecord(device, index, count);
}

PacketResult readInPieces(const QByteArray& bytes) {
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    return datapacket::readBinary(device);
}

} // namespace

TEST(Datapacket, ReadInPiecesTheWholeAndEachRecordAreThoseOfTheWholeRead) {
    const QByteArray bytes = packetWithChangeLog();
    const PacketResult whole = datapacket::readBinary(bytes);
    ASSERT_TRUE(whole.ok()) << whole.error.toStdString();
    ASSERT_EQ(whole.table.rows.size(), 4u);
    EXPECT_EQ(whole.table.rows[1][1].toBytes(), "B"); // the modification merged
    const PacketResult pieces = readInPieces(bytes);
    ASSERT_TRUE(pieces.ok()) << pieces.error.toStdString();
    EXPECT_EQ(pieces.table, whole.table);
    for (const qint64 index : {-1, 0, 1, 2, 3, 4}) {
        SCOPED_TRACE(index);
        qint64 count = -1;
        const PacketResult one = readRecord(bytes, index, count);
        ASSERT_TRUE(one.ok()) << one.error.toStdString();
        EXPECT_EQ(count, 4);
        PacketTable expected = whole.table;
        expected.rows = index >= 0 && index < 4 ? std::vector<Row>{whole.table.rows[size_t(index)]}
                                                : std::vector<Row>{};
        EXPECT_EQ(one.table, expected);
    }
}

TEST(Datapacket, ReadInPiecesRefusesWhatTheWholeReadRefuses) {
    const QByteArray bytes = packetWithChangeLog();
    const qsizetype rowsAt = qFromLittleEndian<quint16>(bytes.constData() + 22);
    std::vector<qsizetype> cuts;
    for (qsizetype n = 0; n <= rowsAt + 40; ++n)
        cuts.push_back(n);
    for (const qsizetype n : {qsizetype(300000), bytes.size() / 2, bytes.size() - 40,
                              bytes.size() - 1})
        cuts.push_back(n);
    for (const qsizetype n : cuts) {
        SCOPED_TRACE(n);
        const PacketResult whole = datapacket::readBinary(bytes.left(n));
        qint64 count = -1;
        const PacketResult one = readRecord(bytes.left(n), 1, count);
        EXPECT_EQ(one.error, whole.error);
        EXPECT_EQ(readInPieces(bytes.left(n)).error, whole.error);
        if (!one.ok()) {
            EXPECT_TRUE(one.table.fields.isEmpty() && one.table.rows.empty());
        }
    }
}

// Written a piece at a time to a device, both forms are the bytes written whole, across
// pieces and rows larger than a piece; a device that refuses a write is reported.
TEST(Datapacket, WrittenInPiecesBothFormsAreTheWholeBytesAndARefusedWriteIsReported) {
    PacketTable t = allKinds();
    const Row sample = t.rows.front();
    for (int i = 0; i < 3000; ++i)
        t.rows.push_back(sample);
    t.rows[1500][8] = Value::fromBytes(QByteArray(3 * datapacket::WritePieceSize / 2, 'm'));
    using Whole = QByteArray (*)(const PacketTable&);
    using InPieces = bool (*)(const PacketTable&, QIODevice&);
    const std::pair<Whole, InPieces> forms[] = {
        {&datapacket::writeBinary, &datapacket::writeBinary},
        {&datapacket::writeXml, &datapacket::writeXml},
    };
    for (const auto& [whole, inPieces] : forms) {
        const QByteArray expected = whole(t);
        ASSERT_GT(expected.size(), 3 * datapacket::WritePieceSize);
        QBuffer device;
        device.open(QIODevice::WriteOnly);
        EXPECT_TRUE(inPieces(t, device));
        EXPECT_TRUE(device.data() == expected);

        QBuffer refusing; // open for reading only: every write fails
        refusing.open(QIODevice::ReadOnly);
        EXPECT_FALSE(inPieces(t, refusing));
    }
}
