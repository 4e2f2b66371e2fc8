#pragma once
// Loading and saving the data file of CDS2.
#include "records/BackupGenerations.h"

#include <QString>

#include <functional>

class Dataset;
struct PacketTable;

namespace DataFile {

// True when `path` is written in the XML form: it ends in ".xml", letter case ignored.
bool isXmlFileName(const QString& path);

// The fields every data file must have; empty when the table has them all, else a
// message naming the first one missing.
QString checkRecordFields(const PacketTable& table);

// Reads `path` (either form) into `dataset`. On success returns an empty text and the
// dataset holds exactly the file's content, cursor on the first record. On failure
// returns the reason and leaves the dataset as it was.
QString load(Dataset& dataset, const QString& path);

// As load(), and every byte read is also given to `seen`, once and in file order, so a
// caller can hash the file without reading it again. A reader that skipped bytes leaves
// the count given short of the file's size. An empty `seen` is the plain load().
using ByteSink = std::function<void(const char* data, qsizetype size)>;
QString load(Dataset& dataset, const QString& path, const ByteSink& seen);

// Reads only the record at `index` (0-based, the file's order) of `path`: the dataset
// then holds that one record, or none when the file has fewer, and `recordCount` how
// many the file has. A binary file is read forward in pieces, never whole, so one page
// of a large file costs little more than reading its bytes. Errors as load().
QString loadRecord(Dataset& dataset, const QString& path, qint64 index, qint64& recordCount);

// Posts a pending edit, then writes all records (not just the view) through a
// temporary file renamed over `path`, so a failed save leaves the old file whole.
// Returns an empty text, or the message "ファイル「<path>」を作成できません。<reason>".
QString save(Dataset& dataset, const QString& path);

struct SaveOutcome {
    QString error;         // as save() answers; empty when the file was written
    QString backupWarning; // the file was written, but the one it replaced was not kept
};
// As save(), and a file that `path` already holds is first kept as a generation
// (backups::keep), which the new file then replaces in one rename: a save stopped at
// any point leaves the old file or the new one at `path`, and the old one kept once the
// new one is there. Older generations are pruned only after the new file is in place.
SaveOutcome save(Dataset& dataset, const QString& path, const backups::Policy& policy);

} // namespace DataFile
