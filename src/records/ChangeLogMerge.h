#pragma once
// Folds the rows of a datapacket's change log into plain rows as they are read.
#include "records/PacketTable.h"

class ChangeLogMerge {
public:
    enum Status : quint8 { Original = 1, Deleted = 2, Inserted = 4, Modified = 8, Unused = 0x20 };
    // What a row of the log does: nothing, start the next record, or change the last one.
    enum class Placement { Dropped, NewRecord, AmendsLast };

    explicit ChangeLogMerge(PacketTable& table) : table_(table) {}

    // `changed[i]` false marks a field a Modified row leaves as it was.
    void add(int status, Row&& values, const std::vector<bool>* changed = nullptr) {
        apply(place(status), std::move(values), changed);
    }
    // The two halves of add(), for a reader that keeps only some records: place() takes
    // every row in file order, apply() only the rows of the records kept.
    Placement place(int status);
    void apply(Placement placement, Row&& values, const std::vector<bool>* changed = nullptr);
    // Records the rows placed so far make.
    qint64 recordCount() const { return records_; }
    // Drops the change-log property once log rows were merged.
    void finish();

private:
    PacketTable& table_;
    bool lastKept_ = false;
    bool sawLog_ = false;
    qint64 records_ = 0;
};
