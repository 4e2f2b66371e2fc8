#pragma once
// Folds the rows of a datapacket's change log into plain rows as they are read.
#include "records/PacketTable.h"

class ChangeLogMerge {
public:
    enum Status : quint8 { Original = 1, Deleted = 2, Inserted = 4, Modified = 8, Unused = 0x20 };

    explicit ChangeLogMerge(PacketTable& table) : table_(table) {}

    // `changed[i]` false marks a field a Modified row leaves as it was.
    void add(int status, Row&& values, const std::vector<bool>* changed = nullptr);
    // Drops the change-log property once log rows were merged.
    void finish();

private:
    PacketTable& table_;
    bool lastKept_ = false;
    bool sawLog_ = false;
};
