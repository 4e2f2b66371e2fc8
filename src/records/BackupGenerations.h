#pragma once
// Earlier versions of a data file, kept at every save that replaces it. A generation is
// the replaced file itself, named after the data file and its modification time
// ("shop_20261211-095312.dat"), in the folder "ledora-backup" beside the data file, or,
// where that cannot be written, in a folder of the user's own.
#include <QDateTime>
#include <QString>

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
};

struct Generation {
    QString path;
    QDateTime time; // the replaced file's modification time, to the second
    int clash = 0;  // 0, or n for the n-th further generation of the same second
    qint64 size = 0;
    qint64 recordCount = 0;
    QString damage; // why it cannot be read; empty for a sound generation
};

// "ledora-backup" beside the data file.
QString besideFolder(const QString& dataFile);
// The fallback for the data file: one folder per data-file folder under `fallbackRoot`,
// so that two files of the same name never prune each other's generations.
QString fallbackFolder(const QString& dataFile, const QString& fallbackRoot);

// "shop_20261211-095312.dat" for shop.dat last written at that time; "-n" follows the
// time for the n-th further generation of the same second.
QString generationName(const QString& dataFile, const QDateTime& time, int clash);

// The generations of `dataFile` in both folders, newest first, found by name alone.
std::vector<Generation> find(const QString& dataFile, const QString& fallbackRoot);
// As find(), with each one's size and record count read, or why it cannot be read. A
// binary generation is stepped through, never loaded whole.
std::vector<Generation> list(const QString& dataFile, const QString& fallbackRoot);

struct Kept {
    QString path;         // the new generation; empty when none could be kept
    QString failure;      // each folder tried with the reason it failed; empty on success
    bool earlier = false; // `path` was kept by an earlier save that stopped before its rename
};
// Keeps the file now at `dataFile` as its newest generation, by a hard link where the
// folder is on the same file system (no byte is copied), else by a copy that appears
// whole or not at all. An existing generation is never replaced; the newest one is taken
// when it is the very file.
Kept keep(const QString& dataFile, const Policy& policy);

// Removes all but the newest `policy.generations` generations of `dataFile`.
void prune(const QString& dataFile, const Policy& policy);

// The message shown when a save went ahead without keeping the replaced file.
QString keepFailedMessage(const QString& failure);

} // namespace backups
