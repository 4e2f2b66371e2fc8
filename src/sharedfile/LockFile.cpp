#include "sharedfile/LockFile.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSysInfo>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>

namespace sharedfile {

namespace {

constexpr char Header[] = "ledora-lock 1";
// Names longer than this are cut: they only have to be recognised in a message.
constexpr qsizetype MaxNameChars = 64;

QString cleanName(const QString& text) {
    QString out;
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
            c.isSurrogate() || c == QChar::ReplacementCharacter)
            continue;
        out += c;
        if (out.size() >= MaxNameChars)
            break;
    }
    return out.trimmed();
}

QString loginName() {
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_name != nullptr)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QString timeText(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

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

LockHolder currentHolder() {
    LockHolder self;
    self.user = cleanName(loginName());
    self.host = cleanName(QSysInfo::machineHostName());
    self.pid = qint64(getpid());
    self.opened = QDateTime::currentDateTime();
    self.refreshed = self.opened;
    return self;
}

QString lockPathFor(const QString& dataPath) {
    const QFileInfo info(dataPath);
    return info.absolutePath() + QStringLiteral("/.~lock.") + info.fileName() + QLatin1Char('#');
}

QByteArray formatLock(const LockHolder& holder) {
    QByteArray out(Header);
    out += "\nuser=" + holder.user.toUtf8();
    out += "\nhost=" + holder.host.toUtf8();
    out += "\npid=" + QByteArray::number(holder.pid);
    out += "\nopened=" + timeText(holder.opened).toUtf8();
    out += "\nrefreshed=" + timeText(holder.refreshed).toUtf8();
    out += '\n';
    return out;
}

bool parseLock(const QByteArray& bytes, LockHolder& holder) {
    if (bytes.size() > MaxLockBytes)
        return false;
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.front().trimmed() != Header)
        return false;
    LockHolder read;
    bool haveUser = false, haveHost = false, havePid = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = line.left(eq);
        const QByteArray value = line.mid(eq + 1);
        if (key == "user") {
            read.user = cleanName(QString::fromUtf8(value));
            haveUser = true;
        } else if (key == "host") {
            read.host = cleanName(QString::fromUtf8(value));
            haveHost = true;
        } else if (key == "pid") {
            bool ok = false;
            read.pid = value.toLongLong(&ok);
            havePid = ok && read.pid > 0 && read.pid <= 0x7fffffff;
        } else if (key == "opened") {
            read.opened = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODateWithMs);
        } else if (key == "refreshed") {
            read.refreshed = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODateWithMs);
        }
    }
    if (!haveUser || !haveHost || read.host.isEmpty() || !havePid || !read.opened.isValid())
        return false;
    holder = read;
    return true;
}

LockProbe probeLock(const QString& lockPath) {
    LockProbe probe;
    const QFileInfo info(lockPath);
    probe.exists = info.exists() || info.isSymLink();
    if (!probe.exists)
        return probe;
    probe.lastSign = info.lastModified();
    QFile file(lockPath);
    if (info.isFile() && file.open(QIODevice::ReadOnly))
        probe.readable = parseLock(file.read(MaxLockBytes + 1), probe.holder);
    if (!probe.readable)
        probe.holder = LockHolder();
    else if (probe.holder.refreshed.isValid() &&
             (!probe.lastSign.isValid() || probe.holder.refreshed > probe.lastSign))
        probe.lastSign = probe.holder.refreshed;
    return probe;
}

LockDecision decideLock(const LockProbe& probe, const QString& ourHost, qint64 ourPid,
                        bool holderAlive, const QDateTime& now) {
    if (!probe.exists)
        return LockDecision::Take;
    // A clock ahead of ours counts as fresh: the holder may well be alive.
    const bool fresh =
        probe.lastSign.isValid() && probe.lastSign.secsTo(now) <= qint64(StaleSeconds);
    if (probe.readable && probe.holder.host == ourHost) {
        if (probe.holder.pid == ourPid)
            return LockDecision::Take;
        if (!holderAlive)
            return LockDecision::TakeOver;
        // A live pid that stopped refreshing is most likely reused after a restart.
        return fresh ? LockDecision::ReadOnly : LockDecision::Ask;
    }
    return fresh ? LockDecision::ReadOnly : LockDecision::Ask;
}

bool processAlive(qint64 pid) {
    if (pid <= 0 || pid > 0x7fffffff)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

QString holderUserText(const LockProbe& probe) {
    return probe.readable && !probe.holder.user.isEmpty() ? probe.holder.user
                                                          : QStringLiteral("不明なユーザー");
}

QString holderHostText(const LockProbe& probe) {
    return probe.readable ? probe.holder.host : QStringLiteral("不明な PC");
}

LockFile::LockFile(QString dataPath, LockHolder self)
    : lockPath_(lockPathFor(dataPath)), self_(std::move(self)) {}

LockFile::~LockFile() {
    release();
}

bool LockFile::writeTemp(QString& tempPath) const {
    tempPath = lockPath_ + QStringLiteral(".%1.tmp").arg(self_.pid);
    const QByteArray path = QFile::encodeName(tempPath);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = writeAll(fd, formatLock(self_)) && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok)
        ::unlink(path.constData());
    return ok;
}

bool LockFile::isOurs() const {
    const LockProbe probe = probeLock(lockPath_);
    // The time opened tells two locks of one process apart (two windows in a test).
    return probe.readable && probe.holder.host == self_.host && probe.holder.pid == self_.pid &&
           probe.holder.opened == self_.opened;
}

bool LockFile::create() {
    QString temp;
    if (!writeTemp(temp))
        return false;
    const QByteArray tempName = QFile::encodeName(temp);
    const QByteArray lockName = QFile::encodeName(lockPath_);
    // A hard link never replaces: whoever links first holds the lock, whole.
    if (::link(tempName.constData(), lockName.constData()) == 0) {
        ::unlink(tempName.constData());
        held_ = true;
        return true;
    }
    const int linkError = errno;
    ::unlink(tempName.constData());
    if (linkError == EEXIST)
        return false;
    // File systems without hard links (some network shares): an exclusive create. A
    // reader may then see the lock before its text, which reads as an unknown holder.
    const int fd = ::open(lockName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = writeAll(fd, formatLock(self_));
    ::close(fd);
    if (!ok) {
        ::unlink(lockName.constData());
        return false;
    }
    held_ = true;
    return true;
}

bool LockFile::takeOver() {
    QString temp;
    if (!writeTemp(temp))
        return false;
    if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(lockPath_).constData()) !=
        0) {
        ::unlink(QFile::encodeName(temp).constData());
        return false;
    }
    held_ = isOurs();
    return held_;
}

bool LockFile::refresh() {
    if (!held_)
        return false;
    if (!isOurs()) {
        held_ = false;
        return false;
    }
    self_.refreshed = QDateTime::currentDateTime();
    QString temp;
    if (!writeTemp(temp))
        return true; // still ours; the next refresh tries again
    if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(lockPath_).constData()) !=
        0)
        ::unlink(QFile::encodeName(temp).constData());
    return true;
}

void LockFile::release() {
    if (held_ && isOurs())
        ::unlink(QFile::encodeName(lockPath_).constData());
    held_ = false;
}

} // namespace sharedfile
