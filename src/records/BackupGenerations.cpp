#include "records/BackupGenerations.h"

#include "platform/FileErrorText.h"
#include "records/DataFile.h"
#include "records/Dataset.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <system_error>

namespace fs = std::filesystem;

namespace backups {

namespace {

constexpr char BesideFolderName[] = "ledora-backup";
constexpr char TimeFormat[] = "yyyyMMdd-HHmmss";
constexpr char KeepFailedText[] =
    "保存前のデータファイルをバックアップとして残せませんでした。\n\r%1\n\r"
    "データファイルは保存しました。";
constexpr char NoFreeNameText[] = "空いているバックアップ名がありません";
// Far beyond any real run of saves within one second; ends the search for a free name.
constexpr int MaxClash = 10000;

fs::path fsPath(const QString& path) {
    return fs::path(path.toStdU16String());
}

QString completeSuffix(const QFileInfo& info) {
    return info.suffix().isEmpty() ? QString() : QStringLiteral(".") + info.suffix();
}

// The generations of `dataFile` in `folder`, found by their names.
void findIn(const QString& folder, const QFileInfo& data, std::vector<Generation>& found) {
    const QRegularExpression pattern(QStringLiteral("^%1_(\\d{8}-\\d{6})(?:-(\\d+))?%2$")
                                         .arg(QRegularExpression::escape(data.completeBaseName()),
                                              QRegularExpression::escape(completeSuffix(data))));
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        Generation g;
        g.time = QDateTime::fromString(match.captured(1), QString::fromLatin1(TimeFormat));
        if (!g.time.isValid())
            continue;
        g.clash = match.captured(2).toInt();
        g.path = dir.filePath(name);
        found.push_back(std::move(g));
    }
}

bool linkUnsupported(const std::error_code& error) {
    return error == std::errc::cross_device_link || error == std::errc::operation_not_permitted ||
           error == std::errc::operation_not_supported || error == std::errc::too_many_links ||
           error == std::errc::function_not_supported;
}

QString reasonOf(const std::error_code& error) {
    return fileerror::describe(error.value(), QString::fromStdString(error.message()));
}

// A whole copy under `target`, carrying the original's modification time; for file
// systems that cannot link.
QString copyWhole(const QString& from, const QString& target) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return fileerror::describe(source, errno);
    QSaveFile copy(target);
    if (!copy.open(QIODevice::WriteOnly))
        return fileerror::describe(copy, errno);
    QByteArray piece(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(piece.data(), piece.size());
        if (got < 0) {
            const QString failure = fileerror::describe(source, errno);
            copy.cancelWriting();
            return failure;
        }
        if (got == 0)
            break;
        if (copy.write(piece.constData(), got) != got) {
            const QString failure = fileerror::describe(copy, errno);
            copy.cancelWriting(); // which replaces the copy's own error text
            return failure;
        }
    }
    copy.setFileTime(source.fileTime(QFileDevice::FileModificationTime),
                     QFileDevice::FileModificationTime);
    if (!copy.commit())
        return fileerror::describe(copy, errno);
    return {};
}

// Keeps `dataFile` in `folder` under a name after those of `firstClash`; the reason on
// failure.
QString keepIn(const QString& dataFile, const QDateTime& time, int firstClash,
               const QString& folder, QString& kept) {
    std::error_code error;
    fs::create_directories(fsPath(folder), error);
    if (error)
        return reasonOf(error);
    bool linking = true;
    for (int clash = firstClash; clash < firstClash + MaxClash; ++clash) {
        const QString target = QDir(folder).filePath(generationName(dataFile, time, clash));
        if (linking) {
            fs::create_hard_link(fsPath(dataFile), fsPath(target), error);
            if (!error) {
                kept = target;
                return {};
            }
            if (error == std::errc::file_exists)
                continue;
            if (!linkUnsupported(error))
                return reasonOf(error);
            linking = false;
        }
        if (QFileInfo::exists(target))
            continue;
        if (QString failure = copyWhole(dataFile, target); !failure.isEmpty())
            return failure;
        kept = target;
        return {};
    }
    return QString::fromUtf8(NoFreeNameText);
}

} // namespace

QString besideFolder(const QString& dataFile) {
    return QFileInfo(dataFile).absoluteDir().filePath(QString::fromLatin1(BesideFolderName));
}

QString fallbackFolder(const QString& dataFile, const QString& fallbackRoot) {
    const QByteArray folder = QFileInfo(dataFile).absolutePath().toUtf8();
    const QByteArray key = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex();
    return QDir(fallbackRoot).filePath(QString::fromLatin1(key.left(12)));
}

QString generationName(const QString& dataFile, const QDateTime& time, int clash) {
    const QFileInfo data(dataFile);
    QString name =
        data.completeBaseName() + QLatin1Char('_') + time.toString(QString::fromLatin1(TimeFormat));
    if (clash > 0)
        name += QLatin1Char('-') + QString::number(clash);
    return name + completeSuffix(data);
}

std::vector<Generation> find(const QString& dataFile, const QString& fallbackRoot) {
    const QFileInfo data(dataFile);
    std::vector<Generation> found;
    findIn(besideFolder(dataFile), data, found);
    if (!fallbackRoot.isEmpty())
        findIn(fallbackFolder(dataFile, fallbackRoot), data, found);
    std::stable_sort(found.begin(), found.end(), [](const Generation& a, const Generation& b) {
        return a.time != b.time ? a.time > b.time : a.clash > b.clash;
    });
    return found;
}

std::vector<Generation> list(const QString& dataFile, const QString& fallbackRoot) {
    std::vector<Generation> found = find(dataFile, fallbackRoot);
    for (Generation& g : found) {
        g.size = QFileInfo(g.path).size();
        Dataset none;
        g.damage =
            DataFile::loadRecord(none, g.path, std::numeric_limits<qint64>::max(), g.recordCount);
    }
    return found;
}

Kept keep(const QString& dataFile, const Policy& policy) {
    Kept result;
    QDateTime time = QFileInfo(dataFile).lastModified();
    time = time.addMSecs(-time.time().msec()); // names hold whole seconds
    const std::vector<Generation> found = find(dataFile, policy.fallbackRoot);
    // A save stopped before its rename left the file kept already: it is not kept twice.
    std::error_code error;
    if (!found.empty() && fs::equivalent(fsPath(found[0].path), fsPath(dataFile), error)) {
        result.path = found[0].path;
        result.earlier = true;
        return result;
    }
    // Numbered after every kept one of the same second, never into a gap that pruning
    // left: the names' order must stay the order in which they were kept.
    int firstClash = 0;
    for (const Generation& g : found)
        if (g.time == time)
            firstClash = std::max(firstClash, g.clash + 1);
    QStringList failures;
    QStringList folders{besideFolder(dataFile)};
    if (!policy.fallbackRoot.isEmpty())
        folders << fallbackFolder(dataFile, policy.fallbackRoot);
    for (const QString& folder : folders) {
        const QString failure = keepIn(dataFile, time, firstClash, folder, result.path);
        if (failure.isEmpty())
            return result;
        failures << QString::fromUtf8("「%1」: %2").arg(QDir::toNativeSeparators(folder), failure);
    }
    result.failure = failures.join(QStringLiteral("\n\r"));
    return result;
}

void prune(const QString& dataFile, const Policy& policy) {
    const std::vector<Generation> found = find(dataFile, policy.fallbackRoot);
    for (size_t i = size_t(std::max(policy.generations, 0)); i < found.size(); ++i) {
        QFile::remove(found[i].path);
        if (policy.reached)
            policy.reached(SaveStep::Pruned);
    }
}

QString keepFailedMessage(const QString& failure) {
    return QString::fromUtf8(KeepFailedText).arg(failure);
}

} // namespace backups
