#include "platform/ShortLock.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(ShortLock, OneHolderAtATimeAmongThreads) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral(".~lock.prune#"));
    std::atomic<int> inside{0};
    std::atomic<int> most{0};
    std::atomic<int> notHeld{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 40; ++i) {
                ShortLock lock(path);
                if (lock.acquire(10000) != ShortLock::Result::Held) {
                    ++notHeld;
                    continue;
                }
                most = std::max(most.load(), ++inside);
                std::this_thread::yield();
                --inside;
            }
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(notHeld, 0);
    EXPECT_EQ(most, 1);
    EXPECT_FALSE(QFile::exists(path)) << "the last holder left its lock behind";
}

TEST(ShortLock, ABusyLockIsWaitedForBrieflyAndAStaleOneIsTakenOver) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lock"));
    ShortLock first(path);
    ASSERT_EQ(first.acquire(), ShortLock::Result::Held);

    ShortLock second(path);
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(second.acquire(100), ShortLock::Result::Busy);
    EXPECT_GE(waited.elapsed(), 100);
    EXPECT_LT(waited.elapsed(), 2000);
    second.release();
    EXPECT_TRUE(QFile::exists(path)) << "a release by a waiter removed the holder's lock";

    // Left by a holder that stopped long ago.
    QFile left(path);
    ASSERT_TRUE(left.open(QIODevice::Append));
    ASSERT_TRUE(left.setFileTime(QDateTime::currentDateTime().addSecs(-ShortLock::StaleSeconds - 5),
                                 QFileDevice::FileModificationTime));
    left.close();
    EXPECT_EQ(second.acquire(0), ShortLock::Result::Held);
    // The first holder's lock was taken over: its release leaves the new one.
    first.release();
    EXPECT_TRUE(QFile::exists(path));
    second.release();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(ShortLock, AFolderThatCannotTakeALockSaysSoAtOnce) {
    QTemporaryDir dir;
    ShortLock lock(dir.filePath(QStringLiteral("missing/lock")));
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(lock.acquire(5000), ShortLock::Result::Unavailable);
    EXPECT_LT(waited.elapsed(), 1000);
    EXPECT_TRUE(QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
}

} // namespace
