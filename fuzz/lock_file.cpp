// Lock file reader: the lock beside a data file over any bytes, as another PC or a
// damaged share may leave it. Reading never fails hard; an accepted lock names its
// holder with clean, short names and writes back to the same holder; whatever it holds,
// the rule gives an answer and the message names somebody.
#include "FuzzSeeds.h"
#include "LockFileProperty.h"

using namespace fuzzsupport;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    sharedfile::LockHolder holder;
    holder.user = QStringLiteral("山田");
    holder.host = QStringLiteral("counter-pc");
    holder.pid = 4242;
    holder.opened = QDateTime(QDate(2026, 4, 1), QTime(10, 2));
    holder.refreshed = holder.opened.addSecs(30);
    const QByteArray written = sharedfile::formatLock(holder);
    fuzzsupport::writeSeedsIfAsked(
        {written, written.left(written.size() / 2),
         QByteArray("ledora-lock 1\r\nuser=\x01\xe3\x81\r\nhost= \r\npid=-1\r\nopened=x\r\n")});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return abortOnFailure(checkLockFile(data, size));
}
