#include "records/DataFile.h"

#include "platform/FileErrorText.h"
#include "records/Datapacket.h"
#include "records/Dataset.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

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

} // namespace

QString load(Dataset& dataset, const QString& path) {
    QFile file(path);
    if (QString error = open(file); !error.isEmpty())
        return error;
    return setChecked(dataset, datapacket::read(file));
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
    QSaveFile file(path);
    // Called right after the failing call, so errno is still its own.
    auto failure = [&] {
        const QString reason = fileerror::describe(file, errno);
        file.cancelWriting();
        return SaveOutcome{QString::fromUtf8(CannotCreateText).arg(fullPath, reason), {}};
    };
    if (!file.open(QIODevice::WriteOnly))
        return failure();
    // Written a piece at a time: the whole file made first in memory cost a fresh
    // page for every 4 KiB of it, several times the writing itself.
    const bool written = isXmlFileName(path) ? datapacket::writeXml(dataset.content(), file)
                                             : datapacket::writeBinary(dataset.content(), file);
    if (!written)
        return failure();
    reached(backups::SaveStep::Written);
    backups::Kept kept;
    if (policy.generations > 0 && QFileInfo(path).isFile())
        kept = backups::keep(path, policy);
    reached(backups::SaveStep::Kept);
    if (!file.commit()) {
        SaveOutcome failed = failure();
        // The old file is still in place: a generation of it would only repeat it.
        if (!kept.path.isEmpty() && !kept.earlier)
            QFile::remove(kept.path);
        return failed;
    }
    reached(backups::SaveStep::Committed);
    if (!kept.path.isEmpty())
        backups::prune(path, policy);
    if (!kept.failure.isEmpty())
        return {{}, backups::keepFailedMessage(kept.failure)};
    return {};
}

} // namespace DataFile
