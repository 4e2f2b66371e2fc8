#pragma once
// Finding records by words: a record matches when every word of the search text appears
// in its name, postcode, address, telephone, number, line items, その他 or remarks, in
// the folded form of searchfold (widths, kana kinds and letter case do not count).
#include "records/FoldedRows.h"

#include <QString>

#include <string>
#include <vector>

class RecordSearch {
public:
    RecordSearch();

    // One flag per stored record of `table`: set when the record matches `query`. An
    // empty query matches every record.
    std::vector<char> match(const PacketTable& table, const QString& query);
    // Folds the records not folded yet, ahead of the first match().
    void prepare(const PacketTable& table);
    // Forgets the folded texts (a file was closed).
    void clear();

    // The folded text a record is searched in (for tests).
    static std::string searchTextOf(const PacketTable& table, const std::vector<Value>& values);
    // Rows searched in the last match(): fewer than all when the query only added to the
    // previous one and no record changed meanwhile.
    int lastSearched() const { return lastSearched_; }
    const FoldedRows& texts() const { return texts_; }

private:
    FoldedRows texts_;
    std::vector<std::string> lastWords_;
    std::vector<char> lastMatch_;
    int lastSearched_ = 0;
};
