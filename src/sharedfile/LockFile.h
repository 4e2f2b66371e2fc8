#pragma once
// The lock beside a data file that is open for writing: ".~lock.<name>#" in the same
// folder names who holds the file, so a second PC opens it read-only instead of saving
// over the first one's work. The holder rewrites it every 30 s; that refresh time is
// what shows a holder on another PC is still alive, since its process cannot be asked.
#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace sharedfile {

inline constexpr int RefreshSeconds = 30;
inline constexpr int StaleSeconds = 120;
// More than a lock written by this program ever holds; the rest is not read.
inline constexpr qint64 MaxLockBytes = 4096;

struct LockHolder {
    QString user;
    QString host;
    qint64 pid = 0;
    QDateTime opened;
    QDateTime refreshed;
};

// This process as a holder: login name, host name, pid, opened now.
LockHolder currentHolder();

// "<folder>/.~lock.<file name>#".
QString lockPathFor(const QString& dataPath);

QByteArray formatLock(const LockHolder& holder);

// Reads a lock's bytes as written by anyone. False for bytes this program did not
// write or that were cut short; `holder` then says nothing. Names are cleaned of
// control characters and cut, since they end up in a message.
bool parseLock(const QByteArray& bytes, LockHolder& holder);

// What the folder holds at the lock's place.
struct LockProbe {
    bool exists = false;
    bool readable = false; // false: damaged, the holder is unknown
    LockHolder holder;
    QDateTime lastSign; // the later of the file's time and the refresh it records
};
LockProbe probeLock(const QString& lockPath);

enum class LockDecision {
    Take,     // nobody holds it, or this process does
    TakeOver, // left by a process of this host that is gone: taken without a question
    ReadOnly, // another holder that is alive, or was refreshed lately
    Ask,      // another host's lock not refreshed for StaleSeconds
};

// The rule over a probe. `holderAlive` says whether the holder's pid runs on this
// host (only asked when the host is ours).
LockDecision decideLock(const LockProbe& probe, const QString& ourHost, qint64 ourPid,
                        bool holderAlive, const QDateTime& now);

// Whether a process of this host runs under `pid` (also one of another user).
bool processAlive(qint64 pid);

// The holder named in a message: 「user（host）」, or 不明 parts for a damaged lock.
QString holderUserText(const LockProbe& probe);
QString holderHostText(const LockProbe& probe);

// The lock of one data file held by this process.
class LockFile {
public:
    explicit LockFile(QString dataPath, LockHolder self = currentHolder());
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    // Makes the lock when none exists, without ever replacing one: false when another
    // holder was first, or the folder cannot be written.
    bool create();
    // Replaces a stale lock with ours; false when another holder got there meanwhile.
    bool takeOver();
    // Rewrites the refresh time; false when the lock is no longer ours.
    bool refresh();
    // Removes the lock if it is still ours.
    void release();

    bool held() const { return held_; }
    const QString& lockPath() const { return lockPath_; }

private:
    bool writeTemp(QString& tempPath) const;
    bool isOurs() const;

    QString lockPath_;
    LockHolder self_;
    bool held_ = false;
};

} // namespace sharedfile
