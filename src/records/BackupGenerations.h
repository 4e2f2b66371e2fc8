#pragma once
// Earlier versions of a data file, kept at every save that replaces it. A generation is
// the replaced file itself, named after the data file, its modification time and the
// number of the save that kept it ("shop_20261211-095312_7.dat"), in the folder
// "ledora-backup" beside the data file, or, where that cannot be written, in a folder of
// the user's own. A data file reached through a symbolic link is kept beside the file the
// link leads to.
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace backups {

// The steps of a save that keeps a generation, in order; a test can stop the process at
// each of them.
enum class SaveStep { Written, Kept, Committed, Pruned };

struct Policy {
    int generations = 0;  // kept per data file; 0 or below keeps none
    QString fallbackRoot; // where generations go when the folder beside is not writable
    std::function<void(SaveStep)> reached = {}; // called at each step; may be empty
    QStringList spared = {};                    // never pruned: the file open and the recent files
};

struct Generation {
    QString path;
    QDateTime time; // the replaced file's modification time, to the second
    int clash = 0;  // 0, or n for the n-th further generation of the same second
    qint64 size = 0;
    qint64 recordCount = 0;
    QString damage; // why it cannot be read; empty for a sound generation
    // The order in which generations were kept, counting up; 0 for names from before the
    // count, which are older than any counted one.
    qint64 sequence = 0;
    bool unread = false; // found by name only: size, record count and damage not read yet
};

// The file that `dataFile` is, through a symbolic link; `dataFile` itself otherwise.
QString realFile(const QString& dataFile);

// "ledora-backup" beside the data file.
QString besideFolder(const QString& dataFile);
// The lock taken for a moment around each keep and prune in the folder beside, which
// other PCs may share.
QString pruneLockPath(const QString& dataFile);
// The fallback for the data file: one folder per data-file folder under `fallbackRoot`,
// so that two files of the same name never prune each other's generations.
QString fallbackFolder(const QString& dataFile, const QString& fallbackRoot);

// "shop_20261211-095312_7.dat" for shop.dat last written at that time and kept as the
// 7th generation. Names from before the count: "shop_20261211-095312.dat", with "-n"
// after the time for the n-th further generation of the same second.
QString generationName(const QString& dataFile, const QDateTime& time, int clash,
                       qint64 sequence = 0);

// The data file whose generation `path` is, when it lies in a folder "ledora-backup" and
// is named as a generation; then `generation`, when given, receives its name's parts.
// Empty otherwise.
QString ownerOf(const QString& path, Generation* generation = nullptr);

// The generations of `dataFile` in both folders, newest first, found by name alone.
std::vector<Generation> find(const QString& dataFile, const QString& fallbackRoot);
// Reads the generation's size and record count, or why it cannot be read. A binary
// generation is stepped through, never loaded whole.
void read(Generation& generation);
// As find(), with each one read.
std::vector<Generation> list(const QString& dataFile, const QString& fallbackRoot);

struct Kept {
    QString path;         // the new generation; empty when none was kept
    QString failure;      // each folder tried with the reason it failed; empty on success
    bool earlier = false; // `path` was kept by an earlier save that stopped before its rename
};
// Keeps the file now at `dataFile` as its newest generation, by a hard link where the
// folder is on the same file system (no byte is copied), else by a copy that appears
// whole or not at all, with the file's permissions. An existing generation is never
// replaced; the newest one is taken when it is the very file, and none is kept when the
// newest one holds the same bytes.
Kept keep(const QString& dataFile, const Policy& policy);

// Removes all but the newest `policy.generations` generations of `dataFile`, newest by
// the order they were kept in; never `justKept` nor a file of `policy.spared`. Nothing is
// removed while another holds the prune lock past a short wait: the next save prunes.
void prune(const QString& dataFile, const Policy& policy, const QString& justKept = {});

// True when the two files hold the same bytes: their sizes are compared first, and only
// files of one size are read.
bool sameBytes(const QString& a, const QString& b);

// The message shown when a save went ahead without keeping the replaced file.
QString keepFailedMessage(const QString& failure);

} // namespace backups
