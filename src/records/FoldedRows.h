#pragma once
// A folded text per stored record, made once and kept: made again only for a record
// whose fields changed since (a posted edit gives a field new bytes, so a changed field
// is told from an unchanged one without reading its text).
#include "records/PacketTable.h"

#include <functional>
#include <string>
#include <vector>

class FoldedRows {
public:
    // Makes the text of a record from the values of the watched fields, in their order.
    using Fold = std::function<std::string(const PacketTable& table, const std::vector<Value>&)>;

    FoldedRows(QList<QByteArray> fields, Fold fold);

    // Brings the texts up to date with the stored records of `table`; true when any text
    // was made, dropped or moved to another row since the last call.
    bool sync(const PacketTable& table);
    void clear();

    int size() const { return int(entries_.size()); }
    const std::string& text(int row) const { return entries_[size_t(row)].text; }
    // Number of texts folded afresh by the last sync (for tests and measuring).
    int lastFolded() const { return lastFolded_; }

private:
    struct Entry {
        std::vector<Value> values; // held, so their bytes stay and cannot be reused
        std::string text;
    };
    std::vector<Value> valuesOf(const Row& row) const;
    void bindFields(const PacketTable& table);

    QList<QByteArray> fieldNames_;
    Fold fold_;
    std::vector<int> fields_; // indexes in the bound table, -1 for a missing field
    QList<FieldDef> boundTo_;
    std::vector<Entry> entries_;
    int lastFolded_ = 0;
};
