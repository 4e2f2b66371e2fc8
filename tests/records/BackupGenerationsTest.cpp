#include "records/BackupGenerations.h"
#include "RecordsTestSupport.h"
#include "platform/ShortLock.h"
#include "records/DataFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <thread>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ino_t inodeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

unsigned modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
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
        qint64 sequence;
        const char* name;
    } cases[] = {
        {"/data/shop.dat", 0, 7, "shop_20261211-095312_7.dat"},
        {"/data/a.b.XML", 0, 12, "a.b_20261211-095312_12.XML"},
        {"/data/plain", 0, 1, "plain_20261211-095312_1"},
        // as earlier versions named them
        {"/data/shop.dat", 0, 0, "shop_20261211-095312.dat"},
        {"/data/shop.dat", 2, 0, "shop_20261211-095312-2.dat"},
        {"/data/a.b.XML", 0, 0, "a.b_20261211-095312.XML"},
        {"/data/plain", 1, 0, "plain_20261211-095312-1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = QString::fromUtf8(c.file);
        const QString name = QString::fromUtf8(c.name);
        EXPECT_EQ(backups::generationName(file, t, c.clash, c.sequence), name);
        // Back from the name, in a backup folder and nowhere else.
        backups::Generation g;
        EXPECT_EQ(backups::ownerOf(QStringLiteral("/data/ledora-backup/") + name, &g), file);
        EXPECT_EQ(g.time, t);
        EXPECT_EQ(g.clash, c.clash);
        EXPECT_EQ(g.sequence, c.sequence);
        EXPECT_EQ(backups::ownerOf(QStringLiteral("/data/other/") + name), QString());
    }
    EXPECT_EQ(backups::ownerOf(QStringLiteral("/data/ledora-backup/shop.dat")), QString());
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
                  sameSecond ? QStringLiteral("shop_20261211-090000_12.dat")
                             : QStringLiteral("shop_20261211-091100_12.dat"));
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
    const QString damaged = QDir(folder).filePath(QStringLiteral("shop_20261211-090001_2.dat"));
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

// A folder on another file system than `near`, so that no hard link reaches it from there;
// empty when this machine has none to offer.
QString folderElsewhere(const QTemporaryDir& near, std::unique_ptr<QTemporaryDir>& holder) {
    struct stat here {};
    if (::stat(QFile::encodeName(near.path()).constData(), &here) != 0)
        return {};
    for (const char* root : {"/dev/shm", "/run", "/var/tmp"}) {
        struct stat there {};
        if (::stat(root, &there) != 0 || there.st_dev == here.st_dev)
            continue;
        holder = std::make_unique<QTemporaryDir>(QString::fromLatin1(root) +
                                                 QStringLiteral("/ledora-XXXXXX"));
        if (holder->isValid())
            return holder->path();
    }
    return {};
}

// Where no link can be made (the backup folder is on another file system), each replaced
// file is kept as a whole copy of its own, readable only by those who could read the data
// file.
TEST(BackupGenerations, WhereNoLinkCanBeMadeEachReplacedFileIsCopiedWithItsPermissions) {
    Shop shop;
    std::unique_ptr<QTemporaryDir> elsewhere;
    const QString folder = folderElsewhere(shop.dir, elsewhere);
    if (folder.isEmpty())
        GTEST_SKIP() << "no second file system here";
    ASSERT_TRUE(QFile::link(folder, backups::besideFolder(shop.path)));
    ASSERT_EQ(shop.save(1), QString());
    ASSERT_TRUE(QFile::setPermissions(shop.path, QFile::ReadOwner | QFile::WriteOwner));
    std::vector<QByteArray> replaced;
    for (int i = 0; i < 3; ++i) {
        setModified(shop.path, QDateTime(QDate(2026, 12, 11), QTime(9, i, 0)));
        replaced.push_back(fileBytes(shop.path));
        ASSERT_EQ(shop.save(i + 2), QString());
    }
    const std::vector<backups::Generation> kept = backups::find(shop.path, shop.fallback);
    ASSERT_EQ(kept.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(QFileInfo(kept[k].path).absolutePath(), backups::besideFolder(shop.path));
        EXPECT_EQ(fileBytes(kept[k].path), replaced[2 - k]);
        EXPECT_EQ(QFileInfo(kept[k].path).lastModified(),
                  QDateTime(QDate(2026, 12, 11), QTime(9, 2 - k, 0)));
        EXPECT_EQ(modeOf(kept[k].path), 0600u);
    }
}

// A save stopped right after keeping the file it replaces leaves it kept; the next save
// finds it there and keeps it no second time.
TEST(BackupGenerations, AFileKeptByAStoppedSaveIsNotKeptAgain) {
    Shop shop;
    ASSERT_EQ(shop.save(1), QString());
    ASSERT_EQ(shop.save(2), QString());
    const backups::Kept stopped = backups::keep(shop.path, shop.policy());
    ASSERT_EQ(stopped.failure, QString());
    ASSERT_EQ(shop.save(3), QString());
    const std::vector<backups::Generation> kept = backups::find(shop.path, shop.fallback);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].path, stopped.path);
    Dataset back;
    ASSERT_EQ(DataFile::load(back, kept[0].path), QString());
    EXPECT_EQ(back.recordCount(), 2);
    ASSERT_EQ(DataFile::load(back, kept[1].path), QString());
    EXPECT_EQ(back.recordCount(), 1);
}

// Generations are pruned in the order the saves took them, whatever the replaced file's
// time says (a clock set back, a file copied from a machine with a slow clock).
TEST(BackupGenerations, PruningKeepsTheNewestByTheOrderOfSavingNotByTheFilesTime) {
    Shop shop;
    ASSERT_EQ(shop.save(1, 3), QString());
    const QDateTime start(QDate(2026, 12, 11), QTime(9, 0, 0));
    for (int i = 0; i < 4; ++i) {
        setModified(shop.path, start.addSecs(60 * i));
        ASSERT_EQ(shop.save(i + 2, 3), QString());
    }
    setModified(shop.path, start.addDays(-1));
    const QByteArray replaced = fileBytes(shop.path);
    ASSERT_EQ(shop.save(6, 3), QString());
    const std::vector<backups::Generation> kept = backups::find(shop.path, shop.fallback);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(fileBytes(kept[0].path), replaced);
    EXPECT_EQ(kept[0].time, start.addDays(-1));
    EXPECT_EQ(kept[1].time, start.addSecs(180));
    EXPECT_EQ(kept[2].time, start.addSecs(120));
}

// Generations named by earlier versions (no count) are listed after the counted ones, in
// their own order, and pruned first.
TEST(BackupGenerations, GenerationsOfEarlierVersionsAreListedAndPrunedAsTheOldest) {
    Shop shop;
    ASSERT_EQ(shop.save(1, 3), QString());
    const QString folder = backups::besideFolder(shop.path);
    ASSERT_TRUE(QDir().mkpath(folder));
    const char* earlier[] = {"shop_20270101-000000-1.dat", "shop_20270101-000000.dat",
                             "shop_20261101-120000.dat"};
    for (const char* name : earlier) {
        QFile f(QDir(folder).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(name);
    }
    setModified(shop.path, QDateTime(QDate(2026, 12, 11), QTime(9, 0, 0)));
    ASSERT_EQ(shop.save(2, 3), QString());
    QStringList names;
    for (const backups::Generation& g : backups::find(shop.path, shop.fallback))
        names << QFileInfo(g.path).fileName();
    EXPECT_EQ(names,
              (QStringList{QStringLiteral("shop_20261211-090000_1.dat"),
                           QString::fromLatin1(earlier[0]), QString::fromLatin1(earlier[1])}));
}

// A file inside the backup folder that the user opened and works in is named like a
// generation, but pruning never removes it while it is open or among the recent files.
TEST(BackupGenerations, PruningSparesTheOpenAndTheRecentFiles) {
    Shop shop;
    ASSERT_EQ(shop.save(1, 1), QString());
    const QDateTime start(QDate(2026, 12, 11), QTime(9, 0, 0));
    setModified(shop.path, start);
    ASSERT_EQ(shop.save(2, 1), QString());
    const QString worked = backups::find(shop.path, shop.fallback).at(0).path;
    const QByteArray workedBytes = fileBytes(worked);
    backups::Policy policy = shop.policy(1);
    policy.spared = {QStringLiteral("/nowhere/else.dat"), QFileInfo(worked).absolutePath() +
                                                              QStringLiteral("/../ledora-backup/") +
                                                              QFileInfo(worked).fileName()};
    for (int i = 0; i < 2; ++i) {
        setModified(shop.path, start.addSecs(60 * (i + 1)));
        Dataset d = recordsCounting(3 + i);
        ASSERT_EQ(DataFile::save(d, shop.path, policy).error, QString());
    }
    const std::vector<backups::Generation> kept = backups::find(shop.path, shop.fallback);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].time, start.addSecs(120)); // the newest generation
    EXPECT_EQ(kept[1].path, worked);
    EXPECT_EQ(fileBytes(worked), workedBytes);
}

// A data file reached through a symbolic link, absolute or relative: each save keeps the
// file it replaced, as a file of its own beside the file the link leads to, and the link
// stays a link.
TEST(BackupGenerations, ThroughASymbolicLinkEachSaveKeepsTheFileItReplaced) {
    for (const bool relative : {false, true}) {
        SCOPED_TRACE(relative ? "relative link" : "absolute link");
        Shop shop;
        ASSERT_TRUE(QDir().mkpath(shop.dir.filePath(QStringLiteral("real"))));
        const QString real = shop.dir.filePath(QStringLiteral("real/shop.dat"));
        {
            Dataset d = recordsCounting(1);
            ASSERT_EQ(DataFile::save(d, real), QString());
        }
        ASSERT_EQ(::symlink(relative ? "real/shop.dat" : QFile::encodeName(real).constData(),
                            QFile::encodeName(shop.path).constData()),
                  0);
        std::vector<QByteArray> replaced;
        for (int i = 0; i < 3; ++i) {
            replaced.push_back(fileBytes(real));
            ASSERT_EQ(shop.save(i + 2), QString());
        }
        EXPECT_TRUE(QFileInfo(shop.path).isSymLink());
        EXPECT_EQ(QFileInfo(shop.path).canonicalFilePath(), QFileInfo(real).canonicalFilePath());
        Dataset back;
        ASSERT_EQ(DataFile::load(back, real), QString());
        EXPECT_EQ(back.recordCount(), 4);
        // Listed alike from the link and from the file.
        const std::vector<backups::Generation> kept = backups::find(shop.path, shop.fallback);
        ASSERT_EQ(kept.size(), 3u);
        EXPECT_EQ(backups::find(real, shop.fallback).size(), 3u);
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE(k);
            EXPECT_FALSE(QFileInfo(kept[k].path).isSymLink());
            EXPECT_EQ(QFileInfo(kept[k].path).canonicalPath(),
                      QFileInfo(backups::besideFolder(real)).canonicalFilePath());
            EXPECT_EQ(fileBytes(kept[k].path), replaced[2 - k]);
        }
    }
}

// A save that replaces a file with the same bytes keeps no generation, nor one that
// replaces the bytes of the newest generation (a generation put back by hand): saves
// without a change never push out the versions that differ.
TEST(BackupGenerations, SavesThatChangeNothingKeepNoGeneration) {
    Shop shop;
    ASSERT_EQ(shop.save(1), QString());
    const QByteArray first = fileBytes(shop.path);
    ASSERT_EQ(shop.save(2), QString());
    for (int i = 0; i < 11; ++i)
        ASSERT_EQ(shop.save(2), QString());
    std::vector<backups::Generation> kept = backups::find(shop.path, shop.fallback);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(fileBytes(kept[0].path), first);

    QFile restored(shop.path);
    ASSERT_TRUE(restored.open(QIODevice::WriteOnly | QIODevice::Truncate));
    restored.write(first);
    restored.close();
    ASSERT_EQ(shop.save(3), QString());
    kept = backups::find(shop.path, shop.fallback);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(fileBytes(kept[0].path), first);
}

} // namespace

namespace {

// Six saves leave five generations to prune.
void saveSixTimes(Shop& shop) {
    const QDateTime start(QDate(2026, 12, 11), QTime(9, 0, 0));
    ASSERT_EQ(shop.save(1), QString());
    for (int i = 0; i < 5; ++i) {
        setModified(shop.path, start.addSecs(60 * i));
        ASSERT_EQ(shop.save(i + 2), QString());
    }
    ASSERT_EQ(backups::find(shop.path, shop.fallback).size(), 5u);
}

} // namespace

TEST(BackupGenerations, PruningIsLeftToTheNextSaveWhileAnotherPcHoldsThePruneLock) {
    Shop shop;
    saveSixTimes(shop);
    {
        ShortLock other(backups::pruneLockPath(shop.path));
        ASSERT_EQ(other.acquire(), ShortLock::Result::Held);
        backups::prune(shop.path, shop.policy(2));
        EXPECT_EQ(backups::find(shop.path, shop.fallback).size(), 5u);
    }
    backups::prune(shop.path, shop.policy(2));
    EXPECT_EQ(backups::find(shop.path, shop.fallback).size(), 2u);
    EXPECT_FALSE(QFile::exists(backups::pruneLockPath(shop.path)));
}

TEST(BackupGenerations, PrunesRunningAtOnceKeepTheNewestGenerations) {
    Shop shop;
    saveSixTimes(shop);
    const std::vector<backups::Generation> before = backups::find(shop.path, shop.fallback);
    std::vector<std::thread> pcs;
    for (int pc = 0; pc < 2; ++pc)
        pcs.emplace_back([&] { backups::prune(shop.path, shop.policy(3)); });
    for (std::thread& pc : pcs)
        pc.join();
    const std::vector<backups::Generation> after = backups::find(shop.path, shop.fallback);
    // One of them may have left it to the next save; neither removed a newer one.
    ASSERT_GE(after.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(after[i].path, before[i].path);
    EXPECT_FALSE(QFile::exists(backups::pruneLockPath(shop.path)));
}
