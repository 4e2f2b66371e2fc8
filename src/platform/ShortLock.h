#pragma once
// A lock held for a moment in a folder that several PCs write, such as a shared folder's
// backups: a small file made without ever replacing one, so that only one holder at a
// time goes on, even where the others run on other machines. A lock older than
// StaleSeconds was left by a holder that stopped, and is taken over.
#include <QByteArray>
#include <QString>

class ShortLock {
public:
    static constexpr int DefaultWaitMs = 300;
    static constexpr int StaleSeconds = 60;

    enum class Result {
        Held,        // ours until release() or the destructor
        Busy,        // another holder kept it past the wait
        Unavailable, // the folder cannot take a lock (missing, not writable)
    };

    explicit ShortLock(QString path);
    ~ShortLock();
    ShortLock(const ShortLock&) = delete;
    ShortLock& operator=(const ShortLock&) = delete;

    // Tries to make the lock, again and again for up to `waitMs`.
    Result acquire(int waitMs = DefaultWaitMs);
    // Removes the lock if it is still ours.
    void release();
    bool held() const { return held_; }

private:
    enum class Attempt { Made, Exists, Failed };
    Attempt tryOnce();
    bool isOurs() const;

    QString path_;
    QByteArray token_; // what our lock holds: who made it, told apart from any other
    bool held_ = false;
};
