#include "app/SharedFileGuard.h"

#include "app/DialogService.h"
#include "sharedfile/LockFile.h"

#include <QFileInfo>

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// %1 user, %2 PC, %3 the time it was opened (HH:MM).
constexpr char kHeldByOther[] = "%1（%2）が %3 から使っています。読み取り専用で開きます。";
constexpr char kStaleLock[] =
    "%1（%2）のロックは 2 分以上更新されていません。強制的に開きますか？\n\r"
    "そのPCで保存されていない変更は失われます。";
constexpr char kChangedOnDisk[] =
    "ファイル「%1」は開いた後に他のPCかプログラムで書き換えられています。\n\r"
    "上書きすると、その変更はバックアップとしてだけ残ります。";
constexpr char kLockTaken[] = "ファイル「%1」は %2（%3）が強制的に開いて使っています。\n\r"
                              "上書きする前に、そのPCの作業を確かめてください。";
constexpr char kHeldNoWrite[] =
    "ファイル「%1」は他のPCが使っているため上書きできません。別の名前で保存してください。";
constexpr char kSaveAsChoice[] = "名前をつけて保存";
constexpr char kOverwriteChoice[] = "上書きする";
constexpr char kCancelChoice[] = "キャンセル";

QString openedText(const sharedfile::LockProbe& probe) {
    const QDateTime time =
        probe.readable && probe.holder.opened.isValid() ? probe.holder.opened : probe.lastSign;
    return time.toLocalTime().toString(QStringLiteral("HH:mm"));
}

} // namespace

SharedFileGuard::SharedFileGuard(DialogService& dialogs, QObject* parent)
    : QObject(parent), dialogs_(dialogs) {
    refreshTimer_.setInterval(sharedfile::RefreshSeconds * 1000);
    connect(&refreshTimer_, &QTimer::timeout, this, &SharedFileGuard::refreshLock);
}

SharedFileGuard::~SharedFileGuard() {
    release();
}

bool SharedFileGuard::holdsLock() const {
    return lock_ && lock_->held();
}

void SharedFileGuard::release() {
    refreshTimer_.stop();
    lock_.reset();
    readOnlyPath_.clear();
    loadedPath_.clear();
    loadingPath_.clear();
    identity_ = {};
}

bool SharedFileGuard::takeLock(const QString& path, bool quietly) {
    using namespace sharedfile;
    const LockHolder self = currentHolder();
    // A second round only when another holder came and went between look and take.
    for (int round = 0; round < 3; ++round) {
        const LockProbe probe = probeLock(lockPathFor(path));
        const bool alive =
            probe.readable && probe.holder.host == self.host && processAlive(probe.holder.pid);
        const LockDecision decision =
            decideLock(probe, self.host, self.pid, alive, QDateTime::currentDateTime());
        if (decision == LockDecision::ReadOnly || decision == LockDecision::Ask) {
            if (quietly)
                return false;
            const QString user = holderUserText(probe), host = holderHostText(probe);
            if (decision == LockDecision::Ask && dialogs_.confirm(u8(kStaleLock).arg(user, host))) {
                auto lock = std::make_unique<LockFile>(path, self);
                if (lock->takeOver()) {
                    lock_ = std::move(lock);
                    refreshTimer_.start();
                    return true;
                }
                continue;
            }
            if (decision == LockDecision::ReadOnly)
                dialogs_.info(u8(kHeldByOther).arg(user, host, openedText(probe)));
            return false;
        }
        auto lock = std::make_unique<LockFile>(path, self);
        if (probe.exists ? lock->takeOver() : lock->create()) {
            lock_ = std::move(lock);
            refreshTimer_.start();
            return true;
        }
        // A folder that cannot be written holds no lock; the save will say it cannot write.
        if (!probeLock(lockPathFor(path)).exists)
            return true;
    }
    return false;
}

bool SharedFileGuard::acquire(const QString& path) {
    release();
    if (takeLock(path, false))
        return true;
    readOnlyPath_ = path;
    return false;
}

DataFile::ByteSink SharedFileGuard::beginLoad(const QString& path) {
    loadingPath_ = QFileInfo(path).absoluteFilePath();
    identity_ = sharedfile::statOf(path);
    loadHasher_ = {};
    if (!identity_.exists || !sharedfile::coarseTime(identity_))
        return {};
    return [this](const char* data, qsizetype size) { loadHasher_.add(data, size_t(size)); };
}

void SharedFileGuard::loaded(const QString& path) {
    loadedPath_ = QFileInfo(path).absoluteFilePath();
    if (loadingPath_ == loadedPath_) {
        sharedfile::addHash(identity_, path, &loadHasher_);
    } else {
        identity_ = sharedfile::identityOf(path);
    }
    loadingPath_.clear();
}

SharedFileGuard::SaveChoice SharedFileGuard::beforeSave(const QString& path) {
    if (readOnly() &&
        QFileInfo(path).absoluteFilePath() == QFileInfo(readOnlyPath_).absoluteFilePath()) {
        dialogs_.error(u8(kHeldNoWrite).arg(path));
        return SaveChoice::Cancel;
    }
    if (loadedPath_.isEmpty() || QFileInfo(path).absoluteFilePath() != loadedPath_)
        return SaveChoice::Write;
    QString question;
    // A file removed meanwhile loses nothing by being written again.
    const sharedfile::FileIdentity now = sharedfile::identityOf(path);
    if (now.exists && sharedfile::changedSince(identity_, now)) {
        question = u8(kChangedOnDisk).arg(path);
    } else if (lock_ && !lock_->refresh()) {
        // Another PC took the lock while this one did not refresh it (asleep, cut off).
        const sharedfile::LockProbe probe = sharedfile::probeLock(lock_->lockPath());
        if (probe.exists) {
            question = u8(kLockTaken)
                           .arg(path, sharedfile::holderUserText(probe),
                                sharedfile::holderHostText(probe));
        } else {
            lock_.reset();
            takeLock(path, true);
        }
    }
    if (question.isEmpty())
        return SaveChoice::Write;
    const QStringList choices{u8(kSaveAsChoice), u8(kOverwriteChoice), u8(kCancelChoice)};
    switch (dialogs_.choose(question, choices)) {
    case 0:
        return SaveChoice::SaveAs;
    case 1:
        return SaveChoice::Overwrite;
    default:
        return SaveChoice::Cancel;
    }
}

void SharedFileGuard::saved(const QString& path) {
    const QString target = QFileInfo(path).absoluteFilePath();
    if (!holdsLock() || sharedfile::lockPathFor(target) != lock_->lockPath()) {
        refreshTimer_.stop();
        lock_.reset();
        takeLock(target, true);
    }
    readOnlyPath_.clear();
    loadingPath_.clear();
    loaded(target);
}

void SharedFileGuard::refreshLock() {
    if (lock_ && !lock_->refresh())
        refreshTimer_.stop();
}
