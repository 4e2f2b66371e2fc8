#include "records/BackupGenerations.h"

#include "platform/FileErrorText.h"
#include "platform/ShortLock.h"
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
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

namespace fs = std::filesystem;

namespace backups {

namespace {

constexpr char BesideFolderName[] = "ledora-backup";
constexpr char PruneLockName[] = ".~lock.prune#";
constexpr char TimeFormat[] = "yyyyMMdd-HHmmss";
constexpr char KeepFailedText[] =
    "保存前のデータファイルをバックアップとして残せませんでした。\n\r%1\n\r"
    "データファイルは保存しました。";
constexpr char NoFreeNameText[] = "空いているバックアップ名がありません";
// Far beyond any real run of taken names; ends the search for a free one.
constexpr int MaxClash = 10000;

fs::path fsPath(const QString& path) {
    return fs::path(path.toStdU16String());
}

QString completeSuffix(const QFileInfo& info) {
    return info.suffix().isEmpty() ? QString() : QStringLiteral(".") + info.suffix();
}

// After the data file's base name: the time, then the count "_7" or, in names from
// before it, "-n" for a further generation of the same second.
constexpr char NameTail[] = "_(\\d{8}-\\d{6})(?:-(\\d+)|_(\\d+))?";

// The generation that a match of NameTail at `first` names; false for no real time.
bool fromMatch(const QRegularExpressionMatch& match, int first, Generation& g) {
    g.time = QDateTime::fromString(match.captured(first), QString::fromLatin1(TimeFormat));
    g.clash = match.captured(first + 1).toInt();
    g.sequence = match.captured(first + 2).toLongLong();
    return g.time.isValid();
}

// The generations of `dataFile` in `folder`, found by their names.
void findIn(const QString& folder, const QFileInfo& data, std::vector<Generation>& found) {
    const QRegularExpression pattern(QStringLiteral("^%1%2%3$")
                                         .arg(QRegularExpression::escape(data.completeBaseName()),
                                              QString::fromLatin1(NameTail),
                                              QRegularExpression::escape(completeSuffix(data))));
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        const QRegularExpressionMatch match = pattern.match(name);
        Generation g;
        if (!match.hasMatch() || !fromMatch(match, 1, g))
            continue;
        g.path = dir.filePath(name);
        g.unread = true;
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
    // Before any byte: a backup must be no easier to read than the data file.
    if (!copy.setPermissions(source.permissions())) {
        const QString failure = fileerror::describe(copy, errno);
        copy.cancelWriting();
        return failure;
    }
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
    // Set after the last write reaches the file, which would otherwise stamp it anew.
    if (!copy.flush() || !copy.setFileTime(source.fileTime(QFileDevice::FileModificationTime),
                                           QFileDevice::FileModificationTime)) {
        const QString failure = fileerror::describe(copy, errno);
        copy.cancelWriting();
        return failure;
    }
    if (!copy.commit())
        return fileerror::describe(copy, errno);
    return {};
}

// Keeps `dataFile` in `folder` under the first free count from `firstSequence`; the
// reason on failure.
QString keepIn(const QString& dataFile, const QDateTime& time, qint64 firstSequence,
               const QString& folder, QString& kept) {
    std::error_code error;
    fs::create_directories(fsPath(folder), error);
    if (error)
        return reasonOf(error);
    bool linking = true;
    for (qint64 sequence = firstSequence; sequence < firstSequence + MaxClash; ++sequence) {
        const QString target = QDir(folder).filePath(generationName(dataFile, time, 0, sequence));
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

QString pruneLockPath(const QString& dataFile) {
    return QDir(besideFolder(realFile(dataFile))).filePath(QString::fromLatin1(PruneLockName));
}

QString fallbackFolder(const QString& dataFile, const QString& fallbackRoot) {
    const QByteArray folder = QFileInfo(dataFile).absolutePath().toUtf8();
    const QByteArray key = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex();
    return QDir(fallbackRoot).filePath(QString::fromLatin1(key.left(12)));
}

QString realFile(const QString& dataFile) {
    const QFileInfo info(dataFile);
    if (!info.isSymLink())
        return dataFile;
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? dataFile : target; // a link to nothing stays as it is
}

QString generationName(const QString& dataFile, const QDateTime& time, int clash, qint64 sequence) {
    const QFileInfo data(dataFile);
    QString name =
        data.completeBaseName() + QLatin1Char('_') + time.toString(QString::fromLatin1(TimeFormat));
    if (sequence > 0)
        name += QLatin1Char('_') + QString::number(sequence);
    else if (clash > 0)
        name += QLatin1Char('-') + QString::number(clash);
    return name + completeSuffix(data);
}

QString ownerOf(const QString& path, Generation* generation) {
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (folder.fileName() != QLatin1String(BesideFolderName))
        return {};
    static const QRegularExpression pattern(
        QStringLiteral("^(.+)%1$").arg(QString::fromLatin1(NameTail)));
    const QRegularExpressionMatch match = pattern.match(info.completeBaseName());
    Generation g;
    if (!match.hasMatch() || !fromMatch(match, 2, g))
        return {};
    g.path = info.absoluteFilePath();
    g.unread = true;
    if (generation)
        *generation = g;
    return QDir(folder.absolutePath()).filePath(match.captured(1) + completeSuffix(info));
}

std::vector<Generation> find(const QString& dataFile, const QString& fallbackRoot) {
    const QString file = realFile(dataFile);
    const QFileInfo data(file);
    std::vector<Generation> found;
    findIn(besideFolder(file), data, found);
    if (!fallbackRoot.isEmpty())
        findIn(fallbackFolder(file, fallbackRoot), data, found);
    // By the count where the names have one: a file's time says nothing of when it was
    // replaced (a clock set back, a copy from another machine).
    std::stable_sort(found.begin(), found.end(), [](const Generation& a, const Generation& b) {
        if (a.sequence != b.sequence)
            return a.sequence > b.sequence;
        return a.time != b.time ? a.time > b.time : a.clash > b.clash;
    });
    return found;
}

void read(Generation& g) {
    g.size = QFileInfo(g.path).size();
    Dataset none;
    g.damage =
        DataFile::loadRecord(none, g.path, std::numeric_limits<qint64>::max(), g.recordCount);
    g.unread = false;
}

std::vector<Generation> list(const QString& dataFile, const QString& fallbackRoot) {
    std::vector<Generation> found = find(dataFile, fallbackRoot);
    for (Generation& g : found)
        read(g);
    return found;
}

bool sameBytes(const QString& a, const QString& b) {
    QFile first(a);
    QFile second(b);
    if (first.size() != second.size() || !first.open(QIODevice::ReadOnly) ||
        !second.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 Piece = 1 << 20;
    QByteArray one(Piece, Qt::Uninitialized);
    QByteArray two(Piece, Qt::Uninitialized);
    for (;;) {
        const qint64 got = first.read(one.data(), Piece);
        if (got < 0 || second.read(two.data(), Piece) != got)
            return false;
        if (got == 0)
            return true;
        if (std::memcmp(one.constData(), two.constData(), size_t(got)) != 0)
            return false;
    }
}

Kept keep(const QString& dataFile, const Policy& policy) {
    Kept result;
    const QString file = realFile(dataFile);
    // Not to pick a name while another PC's prune is changing the folder; the save keeps
    // its generation even when the lock stays busy.
    ShortLock lock(pruneLockPath(file));
    lock.acquire();
    QDateTime time = QFileInfo(file).lastModified();
    time = time.addMSecs(-time.time().msec()); // names hold whole seconds
    const std::vector<Generation> found = find(file, policy.fallbackRoot);
    // A save stopped before its rename left the file kept already: it is not kept twice.
    std::error_code error;
    if (!found.empty() && !QFileInfo(found[0].path).isSymLink() &&
        fs::equivalent(fsPath(found[0].path), fsPath(file), error)) {
        result.path = found[0].path;
        result.earlier = true;
        return result;
    }
    // Saves that changed nothing would push out every version that differed.
    if (!found.empty() && sameBytes(found[0].path, file))
        return result;
    // Counted on from the newest, never into a gap that pruning left.
    qint64 firstSequence = 1;
    for (const Generation& g : found)
        firstSequence = std::max(firstSequence, g.sequence + 1);
    QStringList failures;
    QStringList folders{besideFolder(file)};
    if (!policy.fallbackRoot.isEmpty())
        folders << fallbackFolder(file, policy.fallbackRoot);
    for (const QString& folder : folders) {
        const QString failure = keepIn(file, time, firstSequence, folder, result.path);
        if (failure.isEmpty())
            return result;
        failures << QString::fromUtf8("「%1」: %2").arg(QDir::toNativeSeparators(folder), failure);
    }
    result.failure = failures.join(QStringLiteral("\n\r"));
    return result;
}

void prune(const QString& dataFile, const Policy& policy, const QString& justKept) {
    // Two PCs saving into one shared folder at once would each prune from a listing the
    // other is changing: one prunes at a time, and a prune that must wait is left to the
    // next save. A folder that takes no lock is no shared one this process can write.
    ShortLock lock(pruneLockPath(dataFile));
    if (lock.acquire() == ShortLock::Result::Busy)
        return;
    std::vector<Generation> found = find(dataFile, policy.fallbackRoot);
    const size_t keeping = size_t(std::max(policy.generations, 0));
    if (found.size() <= keeping)
        return;
    // A file named as a generation that the user opened and works in is no generation.
    QStringList spared;
    for (const QString& path : policy.spared)
        if (const QString real = QFileInfo(path).canonicalFilePath(); !real.isEmpty())
            spared << real;
    std::erase_if(found, [&](const Generation& g) {
        return spared.contains(QFileInfo(g.path).canonicalFilePath());
    });
    const QString kept = QFileInfo(justKept).canonicalFilePath();
    for (size_t i = keeping; i < found.size(); ++i) {
        if (!kept.isEmpty() && QFileInfo(found[i].path).canonicalFilePath() == kept)
            continue;
        QFile::remove(found[i].path);
        if (policy.reached)
            policy.reached(SaveStep::Pruned);
    }
}

QString keepFailedMessage(const QString& failure) {
    return QString::fromUtf8(KeepFailedText).arg(failure);
}

} // namespace backups
