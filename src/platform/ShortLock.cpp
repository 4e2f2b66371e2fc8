#include "platform/ShortLock.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int RetryMs = 10;

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

ShortLock::ShortLock(QString path) : path_(std::move(path)) {
    token_ = QSysInfo::machineHostName().toUtf8() + ' ' + QByteArray::number(qint64(getpid())) +
             ' ' + QByteArray::number(QRandomGenerator::global()->generate64(), 16) + '\n';
}

ShortLock::~ShortLock() {
    release();
}

ShortLock::Attempt ShortLock::tryOnce() {
    const QByteArray lockName = QFile::encodeName(path_);
    const QByteArray tempName =
        lockName + '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 16) + ".tmp";
    const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return Attempt::Failed;
    const bool written = writeAll(fd, token_);
    ::close(fd);
    if (!written) {
        ::unlink(tempName.constData());
        return Attempt::Failed;
    }
    // A hard link never replaces: whoever links first holds the lock, whole.
    const int linked = ::link(tempName.constData(), lockName.constData());
    const int linkError = errno;
    ::unlink(tempName.constData());
    if (linked == 0)
        return Attempt::Made;
    if (linkError == EEXIST)
        return Attempt::Exists;
    // Shares that refuse hard links: an exclusive create, the token written after.
    const int lockFd = ::open(lockName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (lockFd < 0)
        return errno == EEXIST ? Attempt::Exists : Attempt::Failed;
    const bool ok = writeAll(lockFd, token_);
    ::close(lockFd);
    if (!ok) {
        ::unlink(lockName.constData());
        return Attempt::Failed;
    }
    return Attempt::Made;
}

ShortLock::Result ShortLock::acquire(int waitMs) {
    if (held_)
        return Result::Held;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        switch (tryOnce()) {
        case Attempt::Made:
            held_ = true;
            return Result::Held;
        case Attempt::Failed:
            return Result::Unavailable;
        case Attempt::Exists:
            break;
        }
        // Held far longer than any holder needs: its holder stopped while holding it.
        const QDateTime made = QFileInfo(path_).lastModified();
        if (made.isValid() && made.secsTo(QDateTime::currentDateTime()) > StaleSeconds &&
            QFile::remove(path_))
            continue;
        if (waited.elapsed() >= waitMs)
            return Result::Busy;
        QThread::msleep(RetryMs);
    }
}

bool ShortLock::isOurs() const {
    QFile file(path_);
    return file.open(QIODevice::ReadOnly) && file.read(token_.size() + 1) == token_;
}

void ShortLock::release() {
    if (!held_)
        return;
    held_ = false;
    if (isOurs())
        QFile::remove(path_);
}
