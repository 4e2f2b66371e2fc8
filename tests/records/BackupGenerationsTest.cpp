#include "records/BackupGenerations.h"
#include "RecordsTestSupport.h"
#include "records/DataFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ino_t inodeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

void setModified(const QString& path, const QDateTime& time) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    ASSERT_TRUE(f.setFileTime(time, QFileDevice::FileModificationTime));
}

Dataset recordsCounting(int count) {
    Dataset d = emptyRecords();
    for (int i = 1; i <= count; ++i)
        addRecord(d, i, "あ", "青木");
    return d;
}

struct Shop {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("shop.dat"));
    QString fallback = dir.filePath(QStringLiteral("appdata/backup"));
    backups::Policy policy(int generations = 10) const { return {generations, fallback}; }
    QString save(int records, int generations = 10) {
        Dataset d = recordsCounting(records);
        const DataFile::SaveOutcome outcome = DataFile::save(d, path, policy(generations));
        EXPECT_EQ(outcome.backupWarning, QString());
        return outcome.error;
    }
};

TEST(BackupGenerations, NamesFollowTheDataFileAndTheReplacedFilesTime) {
    const QDateTime t(QDate(2026, 12, 11), QTime(9, 53, 12));
    const struct {
        const char* file;
        int clash;
        const char* name;
    } cases[] = {
        {"/data/shop.dat", 0, "shop_20261211-095312.dat"},
        {"/data/shop.dat", 2, "shop_20261211-095312-2.dat"},
        {"/data/a.b.XML", 0, "a.b_20261211-095312.XML"},
        {"/data/plain", 1, "plain_20261211-095312-1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(backups::generationName(QString::fromUtf8(c.file), t, c.clash),
                  QString::fromUtf8(c.name));
    }
    EXPECT_EQ(backups::besideFolder(QStringLiteral("/data/shop.dat")),
              QStringLiteral("/data/ledora-backup"));
    // Two folders' files of one name keep their generations apart in the fallback.
    EXPECT_NE(backups::fallbackFolder(QStringLiteral("/a/shop.dat"), QStringLiteral("/r")),
              backups::fallbackFolder(QStringLiteral("/b/shop.dat"), QStringLiteral("/r")));
}

// Twelve saves that each replace the file keep the ten newest replaced files, each the
// very file replaced (its inode: no byte was copied), newest first; saves within one
// second as well as saves minutes apart.
TEST(BackupGenerations, TwelveSavesKeepTheTenNewestEachTheFileItReplaced) {
    for (const bool sameSecond : {false, true}) {
        SCOPED_TRACE(sameSecond ? "within one second" : "minutes apart");
        Shop shop;
        ASSERT_EQ(shop.save(1), QString());
        std::vector<QByteArray> replaced;
        std::vector<ino_t> inodes;
        const QDateTime start(QDate(2026, 12, 11), QTime(9, 0, 0));
        for (int i = 0; i < 12; ++i) {
            setModified(shop.path, sameSecond ? start : start.addSecs(60 * i));
            replaced.push_back(fileBytes(shop.path));
            inodes.push_back(inodeOf(shop.path));
            ASSERT_EQ(shop.save(i + 2), QString());
        }
        const std::vector<backups::Generation> kept = backups::find(shop.path, shop.fallback);
        ASSERT_EQ(kept.size(), 10u);
        for (int k = 0; k < 10; ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(QFileInfo(kept[k].path).absolutePath(), backups::besideFolder(shop.path));
            EXPECT_EQ(fileBytes(kept[k].path), replaced[11 - k]);
            EXPECT_EQ(inodeOf(kept[k].path), inodes[11 - k]);
        }
        EXPECT_EQ(QFileInfo(kept[0].path).fileName(),
                  sameSecond ? QStringLiteral("shop_20261211-090000-11.dat")
                             : QStringLiteral("shop_20261211-091100.dat"));
    }
}

TEST(BackupGenerations, NothingIsKeptWhenTurnedOffOrWhenNoFileIsReplaced) {
    Shop shop;
    ASSERT_EQ(shop.save(1), QString()); // a new file replaces nothing
    EXPECT_FALSE(QFileInfo::exists(backups::besideFolder(shop.path)));
    ASSERT_EQ(shop.save(2, 0), QString());
    EXPECT_TRUE(backups::find(shop.path, shop.fallback).empty());
    ASSERT_EQ(shop.save(3, 1), QString());
    ASSERT_EQ(shop.save(4, 1), QString());
    const std::vector<backups::Generation> kept = backups::find(shop.path, shop.fallback);
    ASSERT_EQ(kept.size(), 1u);
    Dataset back;
    ASSERT_EQ(DataFile::load(back, kept[0].path), QString());
    EXPECT_EQ(back.recordCount(), 3);
}

// The list shows each generation's size and record count, a damaged one with its reason,
// and nothing that is not a generation of this file.
TEST(BackupGenerations, ListGivesSizeAndRecordCountAndMarksDamagedOnes) {
    Shop shop;
    const QDateTime start(QDate(2026, 12, 11), QTime(9, 0, 0));
    ASSERT_EQ(shop.save(3), QString());
    for (int i = 0; i < 3; ++i) {
        setModified(shop.path, start.addSecs(i));
        ASSERT_EQ(shop.save(5 + i), QString());
    }
    const QString folder = backups::besideFolder(shop.path);
    // The middle one is cut short, as a failing disk might leave it.
    const QString damaged = QDir(folder).filePath(QStringLiteral("shop_20261211-090001.dat"));
    ASSERT_TRUE(QFile::exists(damaged));
    ASSERT_TRUE(QFile::resize(damaged, QFileInfo(damaged).size() / 2));
    for (const char* other : {"shop_2026-12-11.dat", "shops_20261211-090000.dat",
                              "shop_20261211-090000.xml", "shop_20261211-090000.dat.tmp"})
        QFile(QDir(folder).filePath(QString::fromLatin1(other))).open(QIODevice::WriteOnly);

    const std::vector<backups::Generation> listed = backups::list(shop.path, shop.fallback);
    ASSERT_EQ(listed.size(), 3u);
    const struct {
        int second;
        qint64 records;
        bool damaged;
    } expected[] = {{2, 6, false}, {1, 0, true}, {0, 3, false}};
    for (size_t k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(listed[k].time, start.addSecs(expected[k].second));
        EXPECT_EQ(listed[k].size, QFileInfo(listed[k].path).size());
        EXPECT_EQ(listed[k].damage.isEmpty(), !expected[k].damaged);
        EXPECT_EQ(listed[k].recordCount, expected[k].records);
    }
}

} // namespace
