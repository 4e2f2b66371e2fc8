// The single-instance handshake and bringing the first window forward.
#include "app/SingleInstanceGuard.h"

#include <QSignalSpy>
#include <QUuid>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QString uniqueKey() {
    return QStringLiteral("ledora-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

TEST(SingleInstanceTest, SecondStartAsksTheFirstAndEnds) {
    const QString key = uniqueKey();
    SingleInstanceGuard first(key);
    ASSERT_TRUE(first.tryBecomePrimary());
    QSignalSpy activated(&first, &SingleInstanceGuard::activationRequested);

    SingleInstanceGuard second(key);
    EXPECT_FALSE(second.tryBecomePrimary());
    EXPECT_TRUE(activated.wait(2000));
    EXPECT_EQ(activated.count(), 1);
}

TEST(SingleInstanceTest, OtherUsersOrProgramsDoNotCount) {
    SingleInstanceGuard first(uniqueKey());
    ASSERT_TRUE(first.tryBecomePrimary());
    SingleInstanceGuard other(uniqueKey());
    EXPECT_TRUE(other.tryBecomePrimary());
}

TEST(SingleInstanceTest, KeyJoinsTheMutexNameAndTheUser) {
    EXPECT_TRUE(
        SingleInstanceGuard::defaultKey().startsWith(QString::fromUtf8("多重起動チェック1")));
    EXPECT_GT(SingleInstanceGuard::defaultKey().size(),
              QString::fromUtf8("多重起動チェック1").size());
}

TEST(SingleInstanceTest, FirstStartsAgainAfterTheOldOneEnded) {
    const QString key = uniqueKey();
    {
        SingleInstanceGuard gone(key);
        ASSERT_TRUE(gone.tryBecomePrimary());
    }
    SingleInstanceGuard next(key);
    EXPECT_TRUE(next.tryBecomePrimary());
}

TEST(SingleInstanceTest, MinimisedWindowIsRestoredOtherwiseRaised) {
    QWidget window;
    window.resize(200, 100);
    window.showMinimized();
    bringWindowForward(&window);
    EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(window.isVisible());

    window.hide();
    bringWindowForward(&window);
    EXPECT_TRUE(window.isVisible());
}

} // namespace
