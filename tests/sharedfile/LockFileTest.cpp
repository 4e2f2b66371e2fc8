#include "sharedfile/LockFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace sharedfile;

const QString OurHost = QStringLiteral("counter-pc");
constexpr qint64 OurPid = 1000;

LockHolder holderOn(const QString& host, qint64 pid) {
    LockHolder h;
    h.user = QStringLiteral("山田");
    h.host = host;
    h.pid = pid;
    h.opened = QDateTime(QDate(2026, 4, 1), QTime(10, 2));
    h.refreshed = h.opened;
    return h;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(LockRule, DecidesByHolderHostAndAge) {
    const QDateTime now(QDate(2026, 4, 1), QTime(12, 0));
    struct Case {
        const char* what;
        bool exists;
        bool readable;
        const char* host;
        qint64 pid;
        bool alive;
        int ageSeconds;
        LockDecision expected;
    };
    const Case cases[] = {
        {"no lock", false, false, "", 0, false, 0, LockDecision::Take},
        {"our own", true, true, "counter-pc", OurPid, true, 5, LockDecision::Take},
        {"our own, old", true, true, "counter-pc", OurPid, true, 600, LockDecision::Take},
        {"this host, process gone", true, true, "counter-pc", 77, false, 5, LockDecision::TakeOver},
        {"this host, gone long ago", true, true, "counter-pc", 77, false, 3600,
         LockDecision::TakeOver},
        {"this host, running", true, true, "counter-pc", 77, true, 20, LockDecision::ReadOnly},
        {"this host, pid reused", true, true, "counter-pc", 77, true, 600, LockDecision::Ask},
        {"other host, fresh", true, true, "office-pc", OurPid, false, 20, LockDecision::ReadOnly},
        {"other host, at the limit", true, true, "office-pc", 77, false, StaleSeconds,
         LockDecision::ReadOnly},
        {"other host, stale", true, true, "office-pc", 77, false, StaleSeconds + 1,
         LockDecision::Ask},
        {"other host, three minutes", true, true, "office-pc", 77, true, 180, LockDecision::Ask},
        {"other host, clock ahead", true, true, "office-pc", 77, false, -300,
         LockDecision::ReadOnly},
        {"damaged, fresh", true, false, "", 0, false, 10, LockDecision::ReadOnly},
        {"damaged, stale", true, false, "", 0, false, 600, LockDecision::Ask},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LockProbe probe;
        probe.exists = c.exists;
        probe.readable = c.readable;
        if (c.readable)
            probe.holder = holderOn(QString::fromUtf8(c.host), c.pid);
        if (c.exists)
            probe.lastSign = now.addSecs(-c.ageSeconds);
        EXPECT_EQ(decideLock(probe, OurHost, OurPid, c.alive, now), c.expected);
    }
}

TEST(LockText, ReadsBackWhatItWritesAndRejectsDamage) {
    LockHolder written = holderOn(QStringLiteral("office-pc"), 4242);
    written.refreshed = written.opened.addSecs(90);
    LockHolder read;
    ASSERT_TRUE(parseLock(formatLock(written), read));
    EXPECT_EQ(read.user, written.user);
    EXPECT_EQ(read.host, written.host);
    EXPECT_EQ(read.pid, 4242);
    EXPECT_EQ(read.opened, written.opened);
    EXPECT_EQ(read.refreshed, written.refreshed);

    const QByteArray good = formatLock(written);
    const QByteArray damaged[] = {
        QByteArray(),
        good.left(good.size() / 2),
        QByteArray(good).replace("ledora-lock 1", "something else"),
        QByteArray(good).replace("pid=4242", "pid=abc"),
        QByteArray(good).replace("pid=4242", "pid=-5"),
        QByteArray(good).replace("host=office-pc", "host=\x01\x02"),
        good + QByteArray(MaxLockBytes, 'x'),
        QByteArray("\xff\xfe\x00\x01", 4),
    };
    for (const QByteArray& bytes : damaged) {
        SCOPED_TRACE(bytes.left(60).toStdString());
        EXPECT_FALSE(parseLock(bytes, read));
    }
}

TEST(LockText, NamesAreCleanedAndCutForTheMessage) {
    const QByteArray bytes =
        "ledora-lock 1\r\nuser=\xe5\xb1\xb1\x1b[31m\xe7\x94\xb0\r\nhost=" + QByteArray(200, 'h') +
        "\r\npid=12\r\nopened=2026-04-01T10:02:00\r\n";
    LockHolder read;
    ASSERT_TRUE(parseLock(bytes, read));
    EXPECT_EQ(read.user, QStringLiteral("山[31m田"));
    EXPECT_EQ(read.host.size(), 64);
}

TEST(LockPath, SitsBesideTheDataFile) {
    EXPECT_EQ(lockPathFor(QStringLiteral("/srv/share/shop.dat")),
              QStringLiteral("/srv/share/.~lock.shop.dat#"));
}

class LockFileOnDisk : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString data() const { return dir.filePath(QStringLiteral("shop.dat")); }
    QString lock() const { return lockPathFor(data()); }
};

TEST_F(LockFileOnDisk, OneHolderAtATimeAndReleaseRemovesOnlyItsOwn) {
    LockFile first(data(), holderOn(QStringLiteral("counter-pc"), 11));
    ASSERT_TRUE(first.create());
    LockFile second(data(), holderOn(QStringLiteral("office-pc"), 22));
    EXPECT_FALSE(second.create());

    const LockProbe probe = probeLock(lock());
    ASSERT_TRUE(probe.exists && probe.readable);
    EXPECT_EQ(probe.holder.host, QStringLiteral("counter-pc"));
    EXPECT_EQ(probe.holder.pid, 11);
    // Nothing but the lock is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    second.release();
    EXPECT_TRUE(QFileInfo::exists(lock()));
    first.release();
    EXPECT_FALSE(QFileInfo::exists(lock()));
}

TEST_F(LockFileOnDisk, TakeOverReplacesAStaleLockAndTheOldHolderNoticesOnRefresh) {
    LockFile old(data(), holderOn(QStringLiteral("office-pc"), 22));
    ASSERT_TRUE(old.create());
    LockFile taker(data(), holderOn(QStringLiteral("counter-pc"), 11));
    ASSERT_TRUE(taker.takeOver());
    EXPECT_EQ(probeLock(lock()).holder.host, QStringLiteral("counter-pc"));

    EXPECT_FALSE(old.refresh());
    old.release();
    EXPECT_TRUE(QFileInfo::exists(lock()));
    EXPECT_TRUE(taker.refresh());
    EXPECT_TRUE(taker.held());
}

TEST_F(LockFileOnDisk, RefreshMovesTheLastSignForward) {
    LockFile ours(data(), holderOn(QStringLiteral("counter-pc"), 11));
    ASSERT_TRUE(ours.create());
    const QDateTime longAgo = QDateTime::currentDateTime().addSecs(-3600);
    // Set by path: a share may stamp a file anew when a handle to it closes.
    const timespec times[2] = {{time_t(longAgo.toSecsSinceEpoch()), 0},
                               {time_t(longAgo.toSecsSinceEpoch()), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(lock()).constData(), times, 0), 0);
    ASSERT_LT(probeLock(lock()).lastSign, QDateTime::currentDateTime().addSecs(-StaleSeconds));
    ASSERT_TRUE(ours.refresh());
    EXPECT_GE(probeLock(lock()).lastSign, QDateTime::currentDateTime().addSecs(-5));
}

TEST_F(LockFileOnDisk, ADamagedLockIsHeldByAnUnknownHolder) {
    writeBytes(lock(), QByteArray("\x00\x01garbage", 9));
    const LockProbe probe = probeLock(lock());
    EXPECT_TRUE(probe.exists);
    EXPECT_FALSE(probe.readable);
    EXPECT_TRUE(probe.lastSign.isValid());
    EXPECT_EQ(holderUserText(probe), QStringLiteral("不明なユーザー"));
    EXPECT_EQ(holderHostText(probe), QStringLiteral("不明な PC"));
    LockFile ours(data(), holderOn(QStringLiteral("counter-pc"), 11));
    EXPECT_FALSE(ours.create());
    EXPECT_EQ(readBytes(lock()), QByteArray("\x00\x01garbage", 9));
}

TEST(LockProcess, AliveForThisProcessNotForAFinishedChild) {
    EXPECT_TRUE(processAlive(qint64(getpid())));
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_FALSE(processAlive(child));
    EXPECT_FALSE(processAlive(0));
    EXPECT_FALSE(processAlive(-1));
}

} // namespace
