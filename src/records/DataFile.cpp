#include "records/DataFile.h"

#include "platform/FileErrorText.h"
#include "records/Datapacket.h"
#include "records/Dataset.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace {

// Shown by the caller when a save fails: the full path, then the system's reason.
constexpr char CannotCreateText[] = "ファイル「%1」を作成できません。%2";

constexpr const char* RequiredFields[] = {
    "num",   "cate",  "name",  "sday",  "day",        "pcode",      "addr",
    "tel",   "Sum",   "other", "memo",  "honorifics", "lineheight", "linecount",
    "line1", "line2", "line3", "line4", "line5",      "SalesTax"};

// Data files are read whole; far beyond any real one, this keeps a wrong file from
// exhausting memory.
constexpr qint64 MaxFileSize = qint64(1) << 30;

} // namespace

namespace DataFile {

bool isXmlFileName(const QString& path) {
    return path.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive);
}

QString checkRecordFields(const PacketTable& table) {
    for (const char* name : RequiredFields)
        if (table.fieldIndex(name) < 0)
            return QStringLiteral("the field %1 is missing").arg(QLatin1String(name));
    return {};
}

namespace {

QString open(QFile& file) {
    if (!file.open(QIODevice::ReadOnly))
        return fileerror::describe(file, errno);
    if (file.size() > MaxFileSize)
        return QStringLiteral("the file is too large");
    return {};
}

QString setChecked(Dataset& dataset, PacketResult result) {
    if (!result.ok())
        return result.error;
    if (QString missing = checkRecordFields(result.table); !missing.isEmpty())
        return missing;
    dataset.setContent(std::move(result.table));
    return {};
}

// Reads through to a file and shows each byte read to a sink once, in file order; the
// reader's look ahead and step back are not shown twice.
class WatchedFile : public QIODevice {
public:
    WatchedFile(QFile& file, const DataFile::ByteSink& seen) : file_(file), seen_(seen) {}
    bool isSequential() const override { return false; }
    qint64 size() const override { return file_.size(); }
    bool seek(qint64 pos) override { return QIODevice::seek(pos) && file_.seek(pos); }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 at = file_.pos();
        const qint64 got = file_.read(data, maxSize);
        if (got < 0) {
            setErrorString(file_.errorString());
            return -1;
        }
        if (at <= shown_ && at + got > shown_) {
            seen_(data + (shown_ - at), qsizetype(at + got - shown_));
            shown_ = at + got;
        }
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QFile& file_;
    const DataFile::ByteSink& seen_;
    qint64 shown_ = 0;
};

// The record at `index` of the file open in `file`, alone; see loadRecord().
PacketResult readRecord(QFile& file, qint64 index, qint64& recordCount) {
    if (datapacket::readableInPieces(file))
        return datapacket::readBinaryRecord(file, index, recordCount);
    PacketResult result = datapacket::read(file);
    std::vector<Row>& rows = result.table.rows;
    recordCount = qint64(rows.size());
    if (index >= 0 && index < recordCount) {
        Row kept = std::move(rows[size_t(index)]);
        rows.assign(1, std::move(kept));
    } else {
        rows.clear();
    }
    return result;
}

// Passes every write on to `out` and compares it, as it goes, with the file being
// replaced: a save that writes the very bytes it replaces needs no generation of them.
// The old file is read once at most, and no further than its first differing byte.
class ComparingWriter : public QIODevice {
public:
    ComparingWriter(QIODevice& out, const QString& old) : out_(out), old_(old) {
        same_ = !old.isEmpty() && old_.open(QIODevice::ReadOnly);
    }
    // True when the written bytes are those of the old file, all of them. Lets go of the
    // old file, which some systems will not let a rename replace while it is open.
    bool finish() {
        same_ = same_ && old_.atEnd();
        old_.close();
        return same_;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        const qint64 written = out_.write(data, size);
        if (written != size)
            setErrorString(out_.errorString());
        if (same_ && written > 0) {
            if (old_.pos() + written > old_.size()) {
                same_ = false;
            } else {
                piece_.resize(written);
                same_ = old_.read(piece_.data(), written) == written &&
                        std::memcmp(piece_.constData(), data, size_t(written)) == 0;
            }
            if (!same_)
                old_.close();
        }
        return written;
    }

private:
    QIODevice& out_;
    QFile old_;
    QByteArray piece_;
    bool same_ = false;
};

} // namespace

QString load(Dataset& dataset, const QString& path) {
    QFile file(path);
    if (QString error = open(file); !error.isEmpty())
        return error;
    return setChecked(dataset, datapacket::read(file));
}

QString load(Dataset& dataset, const QString& path, const ByteSink& seen) {
    if (!seen)
        return load(dataset, path);
    QFile file(path);
    if (QString error = open(file); !error.isEmpty())
        return error;
    WatchedFile watched(file, seen);
    watched.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    return setChecked(dataset, datapacket::read(watched));
}

QString loadRecord(Dataset& dataset, const QString& path, qint64 index, qint64& recordCount) {
    recordCount = 0;
    QFile file(path);
    QString error = open(file);
    if (error.isEmpty())
        error = setChecked(dataset, readRecord(file, index, recordCount));
    if (!error.isEmpty())
        recordCount = 0;
    return error;
}

QString save(Dataset& dataset, const QString& path) {
    return save(dataset, path, backups::Policy{}).error;
}

SaveOutcome save(Dataset& dataset, const QString& path, const backups::Policy& policy) {
    dataset.post();
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    auto reached = [&](backups::SaveStep step) {
        if (policy.reached)
            policy.reached(step);
    };
    // Through a symbolic link, the file it leads to is replaced and kept, and the link
    // stays a link.
    const QString target = backups::realFile(path);
    QSaveFile file(target);
    // Called right after the failing call, so errno is still its own.
    auto failure = [&] {
        const QString reason = fileerror::describe(file, errno);
        file.cancelWriting();
        return SaveOutcome{QString::fromUtf8(CannotCreateText).arg(fullPath, reason), {}};
    };
    if (!file.open(QIODevice::WriteOnly))
        return failure();
    const bool keeping = policy.generations > 0 && QFileInfo(target).isFile();
    ComparingWriter writer(file, keeping ? target : QString());
    writer.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    // Written a piece at a time: the whole file made first in memory cost a fresh
    // page for every 4 KiB of it, several times the writing itself.
    const bool written = isXmlFileName(path) ? datapacket::writeXml(dataset.content(), writer)
                                             : datapacket::writeBinary(dataset.content(), writer);
    const bool same = writer.finish();
    if (!written)
        return failure();
    reached(backups::SaveStep::Written);
    backups::Kept kept;
    if (keeping && !same)
        kept = backups::keep(target, policy);
    reached(backups::SaveStep::Kept);
    if (!file.commit()) {
        SaveOutcome failed = failure();
        // The old file is still in place: a generation of it would only repeat it.
        if (!kept.path.isEmpty() && !kept.earlier)
            QFile::remove(kept.path);
        return failed;
    }
    reached(backups::SaveStep::Committed);
    // Also after a save that kept nothing: it finishes what a stopped save left unpruned.
    if (keeping && kept.failure.isEmpty())
        backups::prune(target, policy, kept.path);
    if (!kept.failure.isEmpty())
        return {{}, backups::keepFailedMessage(kept.failure)};
    return {};
}

} // namespace DataFile
