#include "records/DataFile.h"
#include "RecordsTestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

Dataset filledRecords() {
    Dataset d = emptyRecords();
    addRecord(d, 1, "や", "山田 太郎");
    d.edit();
    d.setText("Sum", sjis("品名,数量\r\n\"りんご, 青森\",3\r\n"));
    d.setText("addr", sjis("東京都千代田区～１－２"));
    d.setDateTime("sday", QDateTime(QDate(2026, 12, 10), QTime(9, 8, 7, 654)));
    d.setFloat("SalesTax", 0.1);
    d.setText("memo", "");
    d.post();
    addRecord(d, 2, "他", "");
    return d;
}

} // namespace

TEST(DataFile, SavesTheFormByExtensionAndLoadsItBackIdentically) {
    QTemporaryDir dir;
    for (const char* name : {"a.dat", "b.XML", "c.xml.dat"}) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QString::fromLatin1(name));
        Dataset d = filledRecords();
        d.setMasterFilter("cate", sjis("他")); // saving writes all, not the view
        d.first();
        d.setText("tel", "03-1234"); // pending edit: posted by the save
        ASSERT_EQ(DataFile::save(d, path), QString());
        const QByteArray bytes = fileBytes(path);
        EXPECT_EQ(bytes.startsWith("<?xml"), DataFile::isXmlFileName(path));
        EXPECT_EQ(bytes.startsWith(datapacket::BinaryMagic), !DataFile::isXmlFileName(path));
        Dataset back;
        ASSERT_EQ(DataFile::load(back, path), QString());
        d.clearMasterFilter();
        EXPECT_EQ(back.content(), d.content());
        EXPECT_EQ(back.recNo(), 1);
        // One record alone: the same record, and how many the file holds.
        for (const qint64 index : {0, 1, 2}) {
            Dataset one;
            qint64 count = -1;
            ASSERT_EQ(DataFile::loadRecord(one, path, index, count), QString());
            EXPECT_EQ(count, 2);
            PacketTable expected = d.content();
            expected.rows = index < 2 ? std::vector<Row>{expected.rows[size_t(index)]}
                                      : std::vector<Row>{};
            EXPECT_EQ(one.content(), expected) << index;
        }
    }
}

// A load that shows what it reads: every byte once, in order, and the same records, also
// for a binary file read in many pieces.
TEST(DataFile, ALoadShowsEveryByteItReadsOnceInOrder) {
    QTemporaryDir dir;
    for (const char* name : {"small.dat", "small.xml", "large.dat", "large.xml"}) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QString::fromLatin1(name));
        Dataset d = filledRecords();
        for (int i = 0; QByteArray(name).startsWith("large") && i < 3000; ++i) {
            addRecord(d, 10 + i, "か", "加藤");
            d.edit();
            d.setText("memo", QByteArray(200, char('a' + i % 26)));
            d.post();
        }
        ASSERT_EQ(DataFile::save(d, path), QString());
        QByteArray seen;
        Dataset back;
        ASSERT_EQ(
            DataFile::load(back, path,
                           [&](const char* data, qsizetype size) { seen.append(data, size); }),
            QString());
        EXPECT_TRUE(seen == fileBytes(path)) << seen.size() << " of " << fileBytes(path).size();
        Dataset plain;
        ASSERT_EQ(DataFile::load(plain, path), QString());
        EXPECT_EQ(back.content(), plain.content());
    }
}

TEST(DataFile, ANewFileKeepsTheTemplatesFieldOrderAndWidths) {
    QTemporaryDir dir;
    Dataset d;
    d.setContent(datapacket::readXml(NewFileTemplate()).table);
    d.setText("honorifics", sjis("様"));
    ASSERT_EQ(DataFile::save(d, dir.filePath("new.dat")), QString());
    Dataset back;
    ASSERT_EQ(DataFile::load(back, dir.filePath("new.dat")), QString());
    EXPECT_EQ(back.fields(), datapacket::readXml(NewFileTemplate()).table.fields);
    EXPECT_EQ(back.asText("honorifics"), sjis("様"));
}

TEST(DataFile, LoadFailuresAreReportedAndLeaveTheDatasetAsItWas) {
    QTemporaryDir dir;
    PacketTable noMemo = datapacket::readXml(NewFileTemplate()).table;
    noMemo.fields.removeAt(noMemo.fieldIndex("memo"));
    for (Row& r : noMemo.rows)
        r.erase(r.begin() + 11);
    const QByteArray good = datapacket::writeBinary(filledRecords().content());
    const std::pair<const char*, QByteArray> cases[] = {
        {"missing.dat", QByteArray()},
        {"text.dat", "just some text"},
        {"cut.dat", good.left(good.size() - 5)},
        {"nomemo.dat", datapacket::writeBinary(noMemo)},
        {"nomemo.xml", datapacket::writeXml(noMemo)}};
    for (const auto& [name, bytes] : cases) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        if (QByteArrayView(name) != "missing.dat")
            writeBytes(path, bytes);
        Dataset d = filledRecords();
        const PacketTable before = d.content();
        const QString error = DataFile::load(d, path);
        EXPECT_NE(error, QString()) << name;
        EXPECT_EQ(d.content(), before) << name;
        qint64 count = -1;
        EXPECT_EQ(DataFile::loadRecord(d, path, 0, count), error) << name;
        EXPECT_EQ(d.content(), before) << name;
        EXPECT_EQ(count, 0) << name;
    }
}

TEST(DataFile, AFailedSaveReportsThePathAndKeepsTheOldFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "folder permissions do not bind root";
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.dat");
    writeBytes(path, "old contents");
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    Dataset d = filledRecords();
    const QString message = DataFile::save(d, path);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(message.startsWith(QString::fromUtf8("ファイル「") + path +
                                   QString::fromUtf8("」を作成できません。")))
        << message.toStdString();
    EXPECT_GT(message.size(),
              QString::fromUtf8("ファイル「」を作成できません。").size() + path.size());
    EXPECT_EQ(fileBytes(path), "old contents");
}

// A save or load that the system refuses names the full path, then the cause in Japanese
// followed by the system's own text.
TEST(DataFile, AFailedSaveOrLoadSaysTheSystemsReasonInJapanese) {
    QTemporaryDir dir;
    writeBytes(dir.filePath("plain"), "x");
    struct Case {
        QString path;
        const char* reason;
        const char* loadReason = nullptr; // when reading fails otherwise
    };
    std::vector<Case> cases = {
        {dir.filePath("plain/sub.dat"), "フォルダが見つかりません ("}, // "plain" is a file
        {dir.filePath("no/such/folder.dat"), "ファイルまたはフォルダが見つかりません ("},
        {dir.filePath(QString(300, QLatin1Char('n')) + ".dat"), "ファイル名が長すぎます ("},
    };
    // No file can be made in sysfs, not even by root, whom folder permissions do not bind.
    if (QFileInfo(QStringLiteral("/sys/kernel")).isDir())
        cases.push_back({QStringLiteral("/sys/ledora.dat"), "アクセスが許可されていません (",
                         "ファイルまたはフォルダが見つかりません ("});
    for (const Case& c : cases) {
        Dataset d = filledRecords();
        const QString message = DataFile::save(d, c.path);
        EXPECT_TRUE(message.startsWith(QString::fromUtf8("ファイル「%1」を作成できません。%2")
                                           .arg(c.path, QString::fromUtf8(c.reason))))
            << message.toStdString();
        EXPECT_TRUE(message.endsWith(QLatin1Char(')'))) << message.toStdString();
        const QString loaded = DataFile::load(d, c.path);
        EXPECT_TRUE(loaded.startsWith(QString::fromUtf8(c.loadReason ? c.loadReason : c.reason)))
            << loaded.toStdString();
    }
    EXPECT_EQ(fileBytes(dir.filePath("plain")), "x");

    // A read the system refuses once the file is open: this process's memory at offset 0.
    Dataset d;
    const QString unread = DataFile::load(d, QStringLiteral("/proc/self/mem"));
    EXPECT_TRUE(unread.startsWith(QString::fromUtf8("ディスクの読み書きに失敗しました (")))
        << unread.toStdString();
}

// Values longer than their field's byte width are cut where they enter the dataset, never
// inside a double-byte character, so a file saved again keeps its declared widths.
TEST(DataFile, ValuesLongerThanTheirFieldAreCutOnTheWayIn) {
    QTemporaryDir dir;
    PacketTable table = datapacket::readXml(NewFileTemplate()).table;
    Row& row = table.rows.at(0);
    const auto set = [&](const char* field, const QByteArray& bytes) {
        row[size_t(table.fieldIndex(field))] = Value::fromBytes(bytes);
    };
    QByteArray name("a");
    for (int i = 0; i < 25; ++i)
        name += sjis("あ"); // 51 bytes; byte 40 is the first half of a character
    const QByteArray memo(3000, 'm');
    set("name", name);
    set("addr", QByteArray(200, 'x'));
    set("tel", QByteArray(30, '9'));
    set("other", memo); // memo text has no width to keep
    for (const char* file : {"long.dat", "long.xml"}) {
        SCOPED_TRACE(file);
        const QString path = dir.filePath(QString::fromLatin1(file));
        writeBytes(path, DataFile::isXmlFileName(path) ? datapacket::writeXml(table)
                                                       : datapacket::writeBinary(table));
        Dataset d;
        ASSERT_EQ(DataFile::load(d, path), QString());
        EXPECT_EQ(d.asText("name"), name.left(39));
        EXPECT_EQ(d.asText("addr"), QByteArray(128, 'x'));
        EXPECT_EQ(d.asText("tel"), QByteArray(20, '9'));
        EXPECT_EQ(d.asText("other"), memo);

        ASSERT_EQ(DataFile::save(d, path), QString());
        const PacketResult saved = datapacket::read(fileBytes(path));
        ASSERT_TRUE(saved.ok());
        for (size_t f = 0; f < size_t(saved.table.fields.size()); ++f) {
            const FieldDef& def = saved.table.fields[qsizetype(f)];
            if (def.type == FieldType::String && def.width > 0) {
                EXPECT_LE(saved.table.rows.at(0)[f].toBytes().size(), def.width)
                    << def.name.constData();
            }
        }
    }
}
