#pragma once
// The window's part in sharing a data file with other PCs: the lock beside the file it
// holds open for writing, refreshed while it is open, and the check before a save that
// the file on disk is still the one loaded. The window only asks it at open and save.
#include "records/DataFile.h"
#include "sharedfile/FileIdentity.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class DialogService;
namespace sharedfile {
class LockFile;
}

class SharedFileGuard : public QObject {
    Q_OBJECT
public:
    explicit SharedFileGuard(DialogService& dialogs, QObject* parent = nullptr);
    ~SharedFileGuard() override;

    // Before `path` is loaded: gives up the file held so far, then takes the lock of
    // `path`. When another holds it, the user is told who (or asked about a stale lock)
    // and the answer is false: the file is to open read-only.
    bool acquire(const QString& path);
    // Just before `path` is read: its identity on disk, to tell a later write by others.
    // Where its times are coarse the bytes are hashed as they are read: the answer is
    // then what DataFile::load() shows them to, else empty.
    DataFile::ByteSink beginLoad(const QString& path);
    // After `path` was loaded (through what beginLoad() answered).
    void loaded(const QString& path);
    // The file is closed: another one, a new one, a backup, or the program ends.
    void release();

    bool readOnly() const { return !readOnlyPath_.isEmpty(); }
    const QString& readOnlyPath() const { return readOnlyPath_; }
    bool holdsLock() const;

    // Overwrite: write over a version that is not ours, which is then kept as a backup.
    enum class SaveChoice { Write, Overwrite, SaveAs, Cancel };
    // Before a save writes over `path`: Write when it is the file as loaded (or not the
    // one loaded); when it changed behind our back the user chooses.
    SaveChoice beforeSave(const QString& path);
    // After a save wrote `path`: it is now the file loaded, and held when it is free.
    void saved(const QString& path);

    // The refresh the timer runs every 30 s.
    void refreshLock();

private:
    bool takeLock(const QString& path, bool quietly);

    DialogService& dialogs_;
    std::unique_ptr<sharedfile::LockFile> lock_;
    QString readOnlyPath_;
    QString loadedPath_;
    sharedfile::FileIdentity identity_;
    sharedfile::ByteHasher loadHasher_;
    QString loadingPath_;
    QTimer refreshTimer_;
};
