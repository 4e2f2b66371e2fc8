#include "records/DataFile.h"

#include "records/Datapacket.h"
#include "records/Dataset.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Shown by the caller when a save fails: the full path, then the system's reason.
constexpr char CannotCreateText[] = "ファイル \"%1\" を作成できません。%2";

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

QString load(Dataset& dataset, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    if (file.size() > MaxFileSize)
        return QStringLiteral("the file is too large");
    // Read into an array of the file's size: readAll would ask for the next power of
    // two, and the loaded records keep pointing into these bytes.
    QByteArray bytes;
    if (const qint64 size = file.size(); size > 0) {
        bytes = QByteArray(size, Qt::Uninitialized);
        const qint64 got = file.read(bytes.data(), size);
        if (got < 0)
            return file.errorString();
        bytes.truncate(got);
    } else {
        bytes = file.readAll();
    }
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    PacketResult result = datapacket::read(bytes);
    if (!result.ok())
        return result.error;
    if (QString missing = checkRecordFields(result.table); !missing.isEmpty())
        return missing;
    dataset.setContent(std::move(result.table));
    return {};
}

QString save(Dataset& dataset, const QString& path) {
    dataset.post();
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    const QByteArray bytes = isXmlFileName(path) ? datapacket::writeXml(dataset.content())
                                                 : datapacket::writeBinary(dataset.content());
    QSaveFile file(path);
    auto failure = [&](const QString& reason) {
        file.cancelWriting();
        return QString::fromUtf8(CannotCreateText).arg(fullPath, reason);
    };
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    if (file.write(bytes) != bytes.size())
        return failure(file.errorString());
    if (!file.commit())
        return failure(file.errorString());
    return {};
}

} // namespace DataFile
