#pragma once
// Lock file reader: the lock beside a data file over any bytes, as another PC or a
// damaged share may leave it. Reading never fails hard; an accepted lock names its
// holder with clean, short names and writes back to the same holder; whatever it holds,
// the rule gives an answer and the message names somebody.
#include "FuzzCheck.h"

#include "sharedfile/LockFile.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <string>
#include <unistd.h>

namespace fuzzsupport {

inline QString lockScratchPath() {
    static const QString path =
        QDir::tempPath() + QStringLiteral("/.~lock.fuzz_%1.dat#").arg(qint64(getpid()));
    return path;
}

inline bool cleanShortName(const QString& name) {
    if (name.size() > 64)
        return false;
    for (QChar c : name)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return false;
    return true;
}

inline std::string checkLockFile(const uint8_t* data, size_t size) {
    using namespace sharedfile;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    LockHolder holder;
    if (parseLock(bytes, holder)) {
        FUZZ_CHECK(!holder.host.isEmpty());
        FUZZ_CHECK(cleanShortName(holder.user) && cleanShortName(holder.host));
        FUZZ_CHECK(holder.pid > 0 && holder.opened.isValid());
        LockHolder again;
        FUZZ_CHECK(parseLock(formatLock(holder), again));
        FUZZ_CHECK(again.user == holder.user && again.host == holder.host);
        FUZZ_CHECK(again.pid == holder.pid && again.opened == holder.opened);
    }
    QFile file(lockScratchPath());
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
    file.close();
    const LockProbe probe = probeLock(lockScratchPath());
    FUZZ_CHECK(probe.exists);
    FUZZ_CHECK(!holderUserText(probe).isEmpty() && !holderHostText(probe).isEmpty());
    const QDateTime now = QDateTime::currentDateTime();
    for (bool alive : {false, true}) {
        const LockDecision decision =
            decideLock(probe, QStringLiteral("fuzz-host"), qint64(getpid()), alive, now);
        FUZZ_CHECK(decision == LockDecision::Take || decision == LockDecision::TakeOver ||
                   decision == LockDecision::ReadOnly || decision == LockDecision::Ask);
        // Nobody else's lock is ever taken without a question.
        if (!probe.readable)
            FUZZ_CHECK(decision == LockDecision::ReadOnly || decision == LockDecision::Ask);
    }
    return {};
}

} // namespace fuzzsupport
